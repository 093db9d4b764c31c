#include "NativeCli.h"

#include "NativeListing.h"

#include "engine/JobDialogue.h"
#include "index/PathOps.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/FileSystem.h"
#include "foundation/platform/OsError.h"

#include <cerrno>
#include <chrono>
#include <cstdio>

namespace {

// What a terminal user reads: the program's text in the system's UTF-8.
void WriteLine(std::ostream& out, const std::string& programText) {
    out << "fendrix: " << TerminalLine(programText) << std::endl;
}

// One line on stderr that updates in place: percentage, bytes done, rate.
// Redrawn at most ten times a second; the line is ended before any other
// text and when the job is over.
class TStatusLine {
public:
    explicit TStatusLine(std::ostream& err) : Err(err), Start(Clock::now()) {}
    ~TStatusLine() { End(); }
    TStatusLine(const TStatusLine&) = delete;
    TStatusLine& operator=(const TStatusLine&) = delete;

    // Bytes that the job will move in all; 0 when it is over.
    void SetTotal(int64_t total) {
        if (total == 0) {
            Draw(true);
            End();
        }
        Total = total;
    }

    void SetPosition(int64_t position) {
        Position = position;
        Draw(false);
    }

    // Ends the drawn line, so that the next text starts on a line of its own.
    void End() {
        if (Drawn)
            Err << std::endl;
        Drawn = false;
    }

private:
    using Clock = std::chrono::steady_clock;

    void Draw(bool final) {
        const Clock::time_point now = Clock::now();
        if (!final && Drawn && now - LastDraw < std::chrono::milliseconds(100))
            return;
        if (final && Total <= 0)
            return;
        LastDraw = now;
        const double seconds = std::chrono::duration<double>(now - Start).count();
        char rate[32];
        std::snprintf(rate, sizeof rate, "%.1f", seconds > 0 ? static_cast<double>(Position) / 1e6 / seconds : 0.0);
        // Standard input has no total until its end: bytes and rate only.
        const std::string line =
            Total > 0 ? LangText(msgProgressLine, {FormatZeroPadded(0, Position * 100 / Total),
                                                   FormatZeroPadded(0, Position), FormatZeroPadded(0, Total), rate})
                      : LangText(msgProgressBytes, {FormatZeroPadded(0, Position), rate});
        Err << "\r" << TerminalLine(line) << "\x1b[K" << std::flush;
        Drawn = true;
    }

    std::ostream& Err;
    Clock::time_point Start;
    Clock::time_point LastDraw;
    int64_t Total = 0;
    int64_t Position = 0;
    bool Drawn = false;
};

// A terminal user is never asked: the silent answers, the exit code and one
// line on stderr for a failure. What a repair wrote into the set is the
// run's outcome and goes to stdout; the status line shows the progress.
class TNativeDialogue : public TSilentDialogue {
public:
    TNativeDialogue(TStatusLine& status, std::ostream& out, bool quiet, bool showProgress)
        : Status(status), Out(out), Quiet(quiet), ShowProgress(showProgress) {}

    void Tell(const std::string& text) override {
        Status.End();
        if (!Quiet)
            Out << TerminalLine(text) << std::endl;
    }
    void SetProgressTotal(int64_t total) override {
        if (ShowProgress)
            Status.SetTotal(total);
    }
    void SetProgressPosition(int64_t position) override {
        if (ShowProgress)
            Status.SetPosition(position);
    }

private:
    TStatusLine& Status;
    std::ostream& Out;
    const bool Quiet;
    const bool ShowProgress;
};

// A path from the command line in program text; false when it has none.
bool PathArgument(const std::string& argument, std::string& text, std::ostream& err) {
    if (OsTextFromSystemName(argument, text) == TNameFault::None)
        return true;
    // The argument has no program text: it goes into the line as it came.
    std::string line = TerminalLine(LangText(msgPathUnusable, {"\x01"}));
    const size_t at = line.find('\x01');
    if (at != std::string::npos)
        line.replace(at, 1, argument);
    err << "fendrix: " << line << std::endl;
    return false;
}

}  // namespace

std::string TerminalLine(const std::string& programText) {
    std::string line;
    for (size_t i = 0; i < programText.size(); ++i) {
        const char c = programText[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < programText.size() && programText[i + 1] == '\n')
                ++i;
            line += ' ';
        } else {
            line += c == '\\' ? '/' : c;
        }
    }
    return OsSystemNameFromText(line);
}

namespace {

// A usage error: what is wrong, the verb's usage lines and where to look.
int UsageError(const TNativeCommand& command, std::ostream& err) {
    if (!command.Fault.empty())
        WriteLine(err, command.Fault);
    err << OsSystemNameFromText(UsageLines(command.Verb)) << TerminalLine(LangText(msgUsageHint)) << std::endl;
    return rcUnknownError;
}

// Standard output that did not take everything (a full disk, a closed
// pipe) fails the run, as it would fail any other file.
int Finished(int result, TNativeStreams& streams) {
    streams.Out.flush();
    if (streams.Out)
        return result;
    WriteLine(streams.Err, LangText(msgStandardOutputFailed, {OsErrorText(static_cast<uint32_t>(errno))}));
    return result == rcOk ? rcFileError : result;
}

// The path that a result code without a text of its own is about.
std::string PathOfResult(uint8_t result, const TFendrixStartParams& params) {
    switch (result) {
    case rcSourceNotFound:
    case rcSourceIsDirectory: return params.SourcePath;
    case rcOutputNotFound:
    case rcOutputIsFile:
    case rcOutputRemovable: return params.OutputDir;
    default: return std::string();
    }
}

}  // namespace

int RunNativeCommandLine(const std::vector<std::string>& args, TNativeStreams& streams) {
    TNativeCommand command = ParseNativeArguments(args);
    switch (command.Action) {
    case TNativeAction::Help:
        streams.Out << OsSystemNameFromText(LangText(msgNativeHelp)) << std::endl;
        return Finished(rcOk, streams);
    case TNativeAction::Version:
        streams.Out << "fendrix " << FENDRIX_VERSION << std::endl;
        return Finished(rcOk, streams);
    case TNativeAction::Usage: return UsageError(command, streams.Err);
    case TNativeAction::Run:
    case TNativeAction::List: break;
    }

    TFendrixStartParams& params = command.Params;
    std::string source, output, streamName;
    // The paths in program text before anything else is done.
    if (!PathArgument(params.SourcePath, source, streams.Err) || !PathArgument(params.OutputDir, output, streams.Err) ||
        !PathArgument(params.StreamName, streamName, streams.Err))
        return rcFileError;
    params.SourcePath = source;
    params.OutputDir = output;
    params.StreamName = streamName;

    if (params.Copy) {
        const std::string exe = streams.ProgramDir + "/Fendrix.exe";
        std::string text;
        TEntryInfo info;
        if (OsTextFromSystemName(exe, text) == TNameFault::None && OsQueryPath(text, info) &&
            info.Kind == TEntryKind::File) {
            params.ProgramToCopy = text;
        } else {
            // The set is complete without the program; the user hears why
            // it is missing and the split goes on.
            WriteLine(streams.Err, LangText(msgNoProgramToCopy, {text.empty() ? exe : text}));
            params.Copy = false;
        }
    }

    TStatusLine status(streams.Err);
    TNativeDialogue dialogue(status, streams.Out, command.Quiet,
                             streams.ErrIsTerminal && !command.Quiet && command.Action == TNativeAction::Run);
    TFendrix engine;
    engine.SetDialogue(&dialogue);
    engine.ScanPolicy.Rules = TNameRules::Posix;
    engine.ScanPolicy.Notice = [&](const std::string& text) {
        status.End();
        WriteLine(streams.Err, text);
    };
    uint8_t result = rcUnknownError;
    try {
        result = engine.Execute(params);
    } catch (...) {
        result = rcUnknownError;
    }
    status.End();
    if (result == rcOk && command.Action == TNativeAction::List)
        WriteListing(*engine.FileList, engine.Listing, streams.Out);
    if (result != rcOk) {
        std::string text = engine.FailureText.empty() ? TFendrix::ResultText(result) : engine.FailureText;
        if (text.empty())
            text = UnknownErrorText;
        std::string path = engine.FailureText.empty() ? PathOfResult(result, params) : engine.FailurePath;
        // A text that names the file already says it once.
        if (!path.empty() && text.find(FileNamePart(path, NativePathStyle)) != std::string::npos)
            path.clear();
        WriteLine(streams.Err, path.empty() ? text : path + ": " + text);
    }
    return Finished(result, streams);
}
