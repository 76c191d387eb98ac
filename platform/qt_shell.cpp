#include "platform/qt_shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

namespace korvane {

bool QtShell::openDocument(const std::string& path) {
    if (path.empty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool QtShell::startCopy(const std::vector<std::string>& args) {
    // An argument list, not a command line: a path with blanks or quotes
    // reaches the copy as one argument, exactly as it stands.
    return QProcess::startDetached(copyProgram(), copyArguments(args));
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
