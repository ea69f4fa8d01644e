#include "commandline.h"
#include "printmarkup.h"
#include "windowentry.h"

#include <QCoreApplication>
#include <QString>

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// The window's module, found beside the program as it is installed
// (HUESPIN_WINDOW_MODULE is relative to the program's folder).
RunWindowProgramFunction LoadWindowProgram()
{
    std::error_code failure;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failure);
    if (failure) {
        std::fprintf(stderr, "huespin: %s\n",
                     QCoreApplication::translate("PrintMarkup", "cannot find the program's own file: %1")
                         .arg(QString::fromStdString(failure.message()))
                         .toUtf8()
                         .constData());
        return nullptr;
    }
    const std::filesystem::path module = program.parent_path() / HUESPIN_WINDOW_MODULE;
    void *handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    void *entry = handle ? ::dlsym(handle, RunWindowProgramName) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "huespin: %s\n",
                     QCoreApplication::translate("PrintMarkup", "cannot load the window: %1")
                         .arg(QString::fromLocal8Bit(::dlerror()))
                         .toUtf8()
                         .constData());
        return nullptr;
    }
    return reinterpret_cast<RunWindowProgramFunction>(entry);
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // --help, --version, mistakes and the markup need no display.
    const CommandLine line = ParseCommandLine(arguments);
    if (line.printMarkup)
        return PrintMarkup(line, argc, argv);
    if (!line.openWindow && !line.keepClipboard) {
        std::FILE *stream = line.outputIsError ? stderr : stdout;
        // Output that cannot be written (a full disk, a closed pipe) is a failure.
        if (std::fputs(line.output.toLocal8Bit().constData(), stream) < 0 || std::fflush(stream) != 0)
            return 1;
        return line.exitStatus;
    }
    const RunWindowProgramFunction runWindowProgram = LoadWindowProgram();
    if (!runWindowProgram)
        return 1;
    const QByteArray display = line.display.toUtf8();
    const HuespinWindowRequest request{WindowRequestVersion, line.keepClipboard, line.documentsFolder,
                                       display.constData()};
    return runWindowProgram(&request, argc, argv);
}
