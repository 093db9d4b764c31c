#include "NativeCli.h"

#include "engine/JobProgress.h"
#include "engine/PartSize.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/FileSystem.h"

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
class TStatusLine : public TJobProgress {
public:
    explicit TStatusLine(std::ostream& err) : Err(err), Start(Clock::now()) {}
    ~TStatusLine() override { End(); }

    void SetTotal(int64_t total) override {
        if (total == 0) {
            Draw(true);
            End();
        }
        Total = total;
    }

    void SetPosition(int64_t position) override {
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
        const int64_t percent = Total > 0 ? Position * 100 / Total : 0;
        char rate[32];
        std::snprintf(rate, sizeof rate, "%.1f", seconds > 0 ? static_cast<double>(Position) / 1e6 / seconds : 0.0);
        Err << "\r" << TerminalLine(LangText(msgProgressLine, {FormatZeroPadded(0, percent),
                                                               FormatZeroPadded(0, Position),
                                                               FormatZeroPadded(0, Total), rate}))
            << "\x1b[K" << std::flush;
        Drawn = true;
    }

    std::ostream& Err;
    Clock::time_point Start;
    Clock::time_point LastDraw;
    int64_t Total = 0;
    int64_t Position = 0;
    bool Drawn = false;
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

int64_t ParseNativeSize(const std::string& text) {
    static const char* const presets[] = {"floppy", "cd", "dvd"};
    for (int i = 0; i < 3; ++i) {
        if (text == presets[i])
            return PartSizeFor(i, 0);
    }
    if (text.empty())
        return 0;
    // The window's units: its list holds KB, MB and GB after Bytes.
    static const char units[] = {'K', 'M', 'G'};
    const char last = text.back();
    for (int i = 0; i < 3; ++i) {
        if (last == units[i] || last == units[i] + ('a' - 'A'))
            return PartSizeFor(FirstSizeUnit + 1 + i, SizeNumberFromText(text.substr(0, text.size() - 1)));
    }
    return PartSizeFor(FirstSizeUnit, SizeNumberFromText(text));
}

TNativeCommand ParseNativeArguments(const std::vector<std::string>& args) {
    TNativeCommand command;
    TFendrixStartParams& p = command.Params;
    p.Silent = true;
    if (args.empty())
        return command;
    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h") {
        command.Action = TNativeAction::Help;
        return command;
    }
    if (verb == "--version") {
        command.Action = TNativeAction::Version;
        return command;
    }
    const bool split = verb == "split";
    const bool join = verb == "join";
    const bool verify = verb == "verify";
    if (!split && !join && !verify) {
        command.BadArgument = verb;
        return command;
    }
    p.Unsplit = join;
    p.Verify = verify;
    std::vector<std::string> plain;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto bad = [&] {
            command.BadArgument = arg;
            return command;
        };
        if (arg == "--help" || arg == "-h") {
            command.Action = TNativeAction::Help;
            return command;
        }
        // "--" ends the options: a name may start with a dash.
        if (arg == "--") {
            plain.insert(plain.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            plain.push_back(arg);
            continue;
        }
        if (split && (arg == "--size" || arg.compare(0, 7, "--size=") == 0)) {
            if (arg == "--size") {
                if (i + 1 >= args.size())
                    return bad();
                p.Size = ParseNativeSize(args[++i]);
            } else {
                p.Size = ParseNativeSize(arg.substr(7));
            }
        } else if (split && arg == "--batch") {
            p.Batch = true;
        } else if (split && arg == "--copy") {
            p.Copy = true;
        } else if (split && arg == "--parity") {
            p.Parity = true;
        } else if (verify && arg == "--repair") {
            p.Repair = true;
        } else if (join && arg == "--no-header") {
            p.NoHeader = true;
        } else if (!verify && (arg == "--quiet" || arg == "-q")) {
            command.Quiet = true;
        } else {
            return bad();
        }
    }
    const size_t wanted = verify ? 1 : 2;
    if (plain.size() > wanted) {
        command.BadArgument = plain[wanted];
        return command;
    }
    // A missing path is an empty one, refused as the silent Windows program
    // refuses it: 1 for the source, 2 for the output directory.
    if (!plain.empty())
        p.SourcePath = plain[0];
    if (plain.size() > 1)
        p.OutputDir = plain[1];
    command.Action = TNativeAction::Run;
    return command;
}

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

int RunNativeCommandLine(const std::vector<std::string>& args, TNativeStreams& streams) {
    TNativeCommand command = ParseNativeArguments(args);
    switch (command.Action) {
    case TNativeAction::Help:
        streams.Out << OsSystemNameFromText(LangText(msgNativeHelp)) << std::endl;
        return rcOk;
    case TNativeAction::Version:
        streams.Out << "fendrix " << FENDRIX_VERSION << std::endl;
        return rcOk;
    case TNativeAction::Usage: {
        std::string bad;
        if (OsTextFromSystemName(command.BadArgument, bad) != TNameFault::None)
            bad = "?";
        WriteLine(streams.Err, LangText(msgUnknownArgument, {bad}));
        return rcUnknownError;
    }
    case TNativeAction::Run: break;
    }

    TFendrixStartParams& params = command.Params;
    std::string source, output;
    // The paths in program text before anything else is done.
    if (!PathArgument(params.SourcePath, source, streams.Err) || !PathArgument(params.OutputDir, output, streams.Err))
        return rcFileError;
    params.SourcePath = source;
    params.OutputDir = output;

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
    TFendrix engine;
    engine.ScanPolicy.Rules = TNameRules::Posix;
    engine.ScanPolicy.Notice = [&](const std::string& text) {
        status.End();
        WriteLine(streams.Err, text);
    };
    // What a repair wrote into the set is the run's outcome: on stdout.
    engine.Report = [&](const std::string& text) {
        status.End();
        streams.Out << TerminalLine(text) << std::endl;
    };
    if (streams.ErrIsTerminal && !command.Quiet)
        engine.Progress = &status;
    uint8_t result = rcUnknownError;
    try {
        result = engine.Execute(params);
    } catch (...) {
        result = rcUnknownError;
    }
    status.End();
    if (result != rcOk) {
        std::string text = engine.FailureText.empty() ? TFendrix::ResultText(result) : engine.FailureText;
        if (text.empty())
            text = UnknownErrorText;
        WriteLine(streams.Err, text);
    }
    return result;
}
