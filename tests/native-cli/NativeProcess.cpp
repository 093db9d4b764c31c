#include "NativeProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

std::string& Program() {
    static std::string path;
    return path;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

const std::string& NativeProgram() {
    return Program();
}

void SetNativeProgram(const std::string& path) {
    Program() = path;
}

namespace {

TNativeRun RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& workDir,
                      const std::vector<std::string>& environment) {
    char outTemplate[] = "/tmp/fendrix-out-XXXXXX";
    char errTemplate[] = "/tmp/fendrix-err-XXXXXX";
    const int outFd = mkstemp(outTemplate);
    const int errFd = mkstemp(errTemplate);
    TNativeRun run;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outFd, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        const int nul = open("/dev/null", O_RDONLY);
        dup2(nul, STDIN_FILENO);
        if (!workDir.empty() && chdir(workDir.c_str()) != 0)
            _exit(126);
        // The language is English unless the case asks for another.
        setenv("LC_ALL", "C.UTF-8", 1);
        for (const std::string& setting : environment)
            putenv(const_cast<char*>(setting.c_str()));
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        run.Code = WEXITSTATUS(status);
    close(outFd);
    close(errFd);
    run.Out = Slurp(outTemplate);
    run.Err = Slurp(errTemplate);
    unlink(outTemplate);
    unlink(errTemplate);
    return run;
}

}  // namespace

TNativeRun RunNative(const std::vector<std::string>& args, const std::string& workDir,
                     const std::vector<std::string>& environment) {
    return RunProgram(Program(), args, workDir, environment);
}

// flip FILE OFFSET inverts every bit of one byte, so the byte changes
// whatever it held: writing a fixed byte into random data leaves the file
// as it was once in 256 runs.
const char* const FlipFunction =
    "flip() { local b; b=$(od -An -tu1 -j\"$2\" -N1 \"$1\" | tr -d ' ') && "
    "printf \"\\\\$(printf %03o $((255 - b)))\" | dd of=\"$1\" bs=1 seek=\"$2\" conv=notrunc status=none; }\n";

TNativeRun RunShell(const std::string& script, const std::string& workDir) {
    return RunProgram("/bin/bash", {"-c", FlipFunction + script}, workDir, {"FENDRIX=" + Program()});
}
