#include "NativeArguments.h"

#include "engine/PartSize.h"
#include "foundation/PartLimit.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/TextServices.h"

#include <iterator>

namespace {

enum TVerb : unsigned { vSplit = 1, vJoin = 2, vVerify = 4, vList = 8, vAll = 15 };

enum class TOptionId { Size, Parts, Name, Batch, Copy, Parity, Recovery, Repair, NoHeader, Quiet, Help };

struct TOption {
    const char* Long;
    char Short;
    bool TakesValue;
    unsigned Verbs;
    TOptionId Id;
};

const TOption Options[] = {
    {"size", 's', true, vSplit, TOptionId::Size},
    {"parts", 'n', true, vSplit, TOptionId::Parts},
    {"name", 0, true, vSplit, TOptionId::Name},
    {"batch", 0, false, vSplit, TOptionId::Batch},
    {"copy", 0, false, vSplit, TOptionId::Copy},
    {"parity", 0, false, vSplit, TOptionId::Parity},
    {"recovery", 'r', true, vSplit, TOptionId::Recovery},
    {"repair", 0, false, vVerify, TOptionId::Repair},
    {"no-header", 0, false, vJoin, TOptionId::NoHeader},
    {"quiet", 'q', false, vSplit | vJoin | vVerify, TOptionId::Quiet},
    {"help", 'h', false, vAll, TOptionId::Help},
};

// The argument as it may go into a message: program text, or "?" for bytes
// that are not UTF-8.
std::string Shown(const std::string& argument) {
    std::string text;
    return OsTextFromSystemName(argument, text) == TNameFault::None ? text : std::string("?");
}

// The option that a long name (without its dashes) picks for the verb: the
// exact name, or the only one that it begins; null for none or several.
const TOption* LongOption(const std::string& name, unsigned verb) {
    const TOption* found = nullptr;
    for (const TOption& option : Options) {
        if (!(option.Verbs & verb) || name.empty() || std::string(option.Long).compare(0, name.size(), name) != 0)
            continue;
        if (name == option.Long)
            return &option;
        if (found)
            return nullptr;
        found = &option;
    }
    return found;
}

const TOption* ShortOption(char letter, unsigned verb) {
    for (const TOption& option : Options) {
        if ((option.Verbs & verb) && option.Short == letter)
            return &option;
    }
    return nullptr;
}

// The parts count of --parts: a whole number from 1 to the part limit.
int32_t PartsCount(const std::string& text) {
    if (text.empty() || text.size() > 3)
        return 0;
    int32_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
    }
    return n <= MaxPartCount ? n : 0;
}

// A name that a set can be stored under: one plain file name.
bool PlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

class TParser {
public:
    TParser(const std::vector<std::string>& args, TNativeCommand& command) : Args(args), Command(command) {}
    void Parse();

private:
    bool Fail(const std::string& fault) {
        Command.Action = TNativeAction::Usage;
        Command.Fault = fault;
        return false;
    }
    bool Take(const TOption& option, const std::string* value);
    bool Finish();

    const std::vector<std::string>& Args;
    TNativeCommand& Command;
    unsigned Verb = 0;
    std::vector<std::string> Operands;
    std::string StreamName;
    bool Named = false;
    bool Sized = false;
    int32_t Parts = 0;
    bool Help = false;
};

void TParser::Parse() {
    static const char* const verbs[] = {"split", "join", "verify", "list"};
    const std::string& first = Args[0];
    if (first == "--help" || first == "-h") {
        Command.Action = TNativeAction::Help;
        return;
    }
    if (first == "--version") {
        Command.Action = TNativeAction::Version;
        return;
    }
    for (unsigned i = 0; i < std::size(verbs); ++i) {
        if (first == verbs[i])
            Verb = 1u << i;
    }
    if (Verb == 0) {
        Fail(LangText(msgUnknownArgument, {Shown(first)}));
        return;
    }
    Command.Verb = first;
    for (size_t i = 1; i < Args.size(); ++i) {
        const std::string& arg = Args[i];
        if (arg == "--") {
            Operands.insert(Operands.end(), Args.begin() + static_cast<std::ptrdiff_t>(i) + 1, Args.end());
            break;
        }
        // A lone dash is an operand: standard input or output.
        if (arg.size() < 2 || arg[0] != '-') {
            Operands.push_back(arg);
            continue;
        }
        if (arg[1] == '-') {
            const size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            const TOption* option = LongOption(name, Verb);
            if (!option || (equals != std::string::npos && !option->TakesValue))
                return void(Fail(LangText(msgUnknownArgument, {Shown(arg)})));
            std::string value;
            if (option->TakesValue) {
                if (equals != std::string::npos)
                    value = arg.substr(equals + 1);
                else if (i + 1 < Args.size())
                    value = Args[++i];
                else
                    return void(Fail(LangText(msgUnknownArgument, {Shown(arg)})));
            }
            if (!Take(*option, option->TakesValue ? &value : nullptr))
                return;
            continue;
        }
        for (size_t k = 1; k < arg.size(); ++k) {
            const TOption* option = ShortOption(arg[k], Verb);
            if (!option)
                return void(Fail(LangText(msgUnknownArgument, {Shown("-" + arg.substr(k, 1))})));
            if (!option->TakesValue) {
                if (!Take(*option, nullptr))
                    return;
                continue;
            }
            // The rest of the word is the value, or else the next word.
            std::string value = arg.substr(k + 1);
            if (value.empty()) {
                if (i + 1 >= Args.size())
                    return void(Fail(LangText(msgUnknownArgument, {Shown("-" + arg.substr(k, 1))})));
                value = Args[++i];
            }
            if (!Take(*option, &value))
                return;
            break;
        }
    }
    if (Help) {
        Command.Action = TNativeAction::Help;
        return;
    }
    Finish();
}

bool TParser::Take(const TOption& option, const std::string* value) {
    TFendrixStartParams& p = Command.Params;
    switch (option.Id) {
    case TOptionId::Size:
        p.Size = ParseNativeSize(*value);
        Sized = true;
        break;
    case TOptionId::Parts:
        Parts = PartsCount(*value);
        if (Parts == 0)
            return Fail(LangText(msgPartsCountInvalid, {Shown(*value)}));
        break;
    case TOptionId::Name:
        if (!PlainName(*value))
            return Fail(LangText(msgStreamNameInvalid, {Shown(*value)}));
        StreamName = *value;
        Named = true;
        break;
    case TOptionId::Batch: p.Batch = true; break;
    case TOptionId::Copy: p.Copy = true; break;
    case TOptionId::Parity: p.Parity = true; break;
    case TOptionId::Recovery:
        p.Recovery = value->empty() ? RecoveryCountInvalid : ParseRecoveryCount(*value);
        if (p.Recovery == RecoveryCountInvalid)
            return Fail(LangText(msgRecoveryCountInvalid));
        break;
    case TOptionId::Repair: p.Repair = true; break;
    case TOptionId::NoHeader: p.NoHeader = true; break;
    case TOptionId::Quiet: Command.Quiet = true; break;
    case TOptionId::Help: Help = true; break;
    }
    return true;
}

bool TParser::Finish() {
    TFendrixStartParams& p = Command.Params;
    const size_t wanted = (Verb & (vSplit | vJoin)) ? 2 : 1;
    if (Operands.size() < wanted)
        return Fail(LangText(msgMissingOperand));
    if (Operands.size() > wanted)
        return Fail(LangText(msgExtraOperand, {Shown(Operands[wanted])}));
    if (Sized && Parts > 0)
        return Fail(LangText(msgOptionsExclusive, {"--size", "--parts"}));
    // A listing is the first step of a join: the header files read and checked.
    p.Unsplit = Verb == vJoin || Verb == vList;
    p.Verify = Verb == vVerify;
    p.SourcePath = Operands[0];
    if (wanted == 2)
        p.OutputDir = Operands[1];
    if (Verb == vSplit) {
        const bool stream = p.SourcePath == "-";
        if (stream != Named)
            return Fail(LangText(msgStreamNeedsName));
        if (stream && Parts > 0)
            return Fail(LangText(msgOptionsExclusive, {"-", "--parts"}));
        if (stream) {
            p.SourcePath.clear();
            p.StreamName = StreamName;
        }
        p.EqualParts = Parts;
    }
    if (Verb == vJoin && p.OutputDir == "-") {
        p.OutputDir.clear();
        p.ToStandardOutput = true;
    }
    if (Verb == vList)
        p.ListOnly = true;
    Command.Action = Verb == vList ? TNativeAction::List : TNativeAction::Run;
    return true;
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
    command.Params.Silent = true;
    if (args.empty())
        return command;
    TParser(args, command).Parse();
    return command;
}

std::string UsageLines(const std::string& verb) {
    // The help text begins with one line per verb, "  fendrix VERB ...",
    // after a line of its own and before an empty one.
    const std::string help = LangText(msgNativeHelp);
    size_t at = help.find('\n');
    std::string lines = help.substr(0, at) + "\n";
    while (at != std::string::npos && at + 1 < help.size() && help[at + 1] != '\n') {
        const size_t end = help.find('\n', at + 1);
        const std::string line = help.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
        if (verb.empty() || line.compare(0, 11 + verb.size(), "  fendrix " + verb + " ") == 0)
            lines += line + "\n";
        at = end;
    }
    return lines;
}
