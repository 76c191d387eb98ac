// The desktop shell: pages go to the desktop's default web browser (started
// from its desktop entry; QDesktopServices where none is found), copies of
// the program are started as separate processes.
#pragma once

#include <QString>
#include <QStringList>

#include "platform/shell.h"

namespace korvane {

class QtShell : public Shell {
  public:
    bool openWebPage(const std::string& path) override;
    bool startCopy(const std::vector<std::string>& args) override;
};

// The program a copy runs: "korvane" in the folder of the running
// executable. Not programFolder(): KORVANE_HOME moves the settings and help
// pages, but a copy must be this very build, not one found elsewhere.
QString copyProgram();
QStringList copyArguments(const std::vector<std::string>& args);

}  // namespace korvane
