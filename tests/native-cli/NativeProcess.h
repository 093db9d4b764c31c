// The native program as a process: started in a working directory of the
// test's choosing with extra environment, its stdout and stderr kept.
#pragma once

#include <string>
#include <vector>

struct TNativeRun {
    int Code = -1;
    std::string Out;
    std::string Err;
};

// The fendrix under test, from --fendrix=PATH.
const std::string& NativeProgram();
void SetNativeProgram(const std::string& path);

TNativeRun RunNative(const std::vector<std::string>& args, const std::string& workDir,
                     const std::vector<std::string>& environment = {});

// A bash script, for pipelines: the program under test is "$FENDRIX", and
// "flip FILE OFFSET" damages one byte.
TNativeRun RunShell(const std::string& script, const std::string& workDir);
