#include "platform/qt_shell.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

#include <optional>

#include "platform/process.h"
#include "platform/program_folder.h"
#include "platform/web_browser.h"

namespace korvane {

#ifndef _WIN32
namespace {

// The desktop's own answer first: KDE and GNOME keep the default browser in
// their settings, which xdg-settings reads. Not every system has xdg-utils;
// then the mimeapps.list files decide alone.
std::string desktopDefaultBrowser() {
    const std::string tool = findProgram("xdg-settings");
    std::string answer;
    if (tool.empty() || !readProgramOutput(tool, {"get", "default-web-browser"}, answer, 3000))
        return {};
    return answer;
}

}  // namespace
#endif

bool QtShell::openWebPage(const std::string& path) {
    if (path.empty())
        return false;
#ifdef _WIN32
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
#else
    // xdg-open would pick the handler of text/html, and that is this editor
    // wherever no browser was made the default for it: the page would open
    // as source in a second window. The browser is the handler of http.
    if (const std::optional<ProgramCall> call = webBrowserCall(path, desktopDefaultBrowser())) {
        std::string error;
        if (startDetached(call->program, call->args, error))
            return true;
    }
    // No browser found, or it would not start: what the desktop opens HTML
    // files with is better than nothing. The URL keeps the name's own bytes:
    // a QString would lose those that are not valid UTF-8.
    return QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(fileUrl(path))));
#endif
}

bool QtShell::startCopy(const std::vector<std::string>& args) {
    // An argument list, not a command line: a path with blanks or quotes
    // reaches the copy as one argument, exactly as it stands.
#ifdef _WIN32
    return QProcess::startDetached(copyProgram(), copyArguments(args));
#else
    // File names are bytes here: a path that is not valid UTF-8 would not
    // survive a QString on its way to the copy.
    std::string error;
    return startDetached(executableFolder() + "/korvane", args, error);
#endif
}

QString copyProgram() {
#ifdef _WIN32
    const QString name = QStringLiteral("korvane.exe");
#else
    const QString name = QStringLiteral("korvane");
#endif
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

QStringList copyArguments(const std::vector<std::string>& args) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(args.size()));
    for (const std::string& arg : args)
        list.append(QString::fromStdString(arg));
    return list;
}

}  // namespace korvane
