// The desktop shell through Qt: QDesktopServices opens files with their
// associated program, QProcess starts copies of the program.
#pragma once

#include <QString>
#include <QStringList>

#include "platform/shell.h"

namespace korvane {

class QtShell : public Shell {
  public:
    bool openDocument(const std::string& path) override;
    bool startCopy(const std::vector<std::string>& args) override;
};

// The program a copy runs: "korvane" in the folder of the running
// executable. Not programFolder(): KORVANE_HOME moves the settings and help
// pages, but a copy must be this very build, not one found elsewhere.
QString copyProgram();
QStringList copyArguments(const std::vector<std::string>& args);

}  // namespace korvane
