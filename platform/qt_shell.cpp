#include "platform/qt_shell.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

#include "platform/process.h"
#include "platform/program_folder.h"

namespace korvane {

bool QtShell::openDocument(const std::string& path) {
    if (path.empty())
        return false;
#ifdef _WIN32
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
#else
    // The name's own bytes, percent-encoded: a QString would lose those that
    // are not valid UTF-8.
    return QDesktopServices::openUrl(
        QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/")));
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
