#include "cli/CommandLine.h"

#include <charconv>
#include <pwd.h>
#include <unistd.h>

namespace cli {

namespace {

std::optional<uint32_t> ParseSeed(const std::string& text) {
    uint32_t v = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return v;
}

ScriptedAnswer ParseAnswer(const std::string& text) {
    if (text == "yes") return ScriptedAnswer::Yes;
    if (text == "no") return ScriptedAnswer::No;
    if (text == "cancel") return ScriptedAnswer::Cancel;
    if (text == "ok") return ScriptedAnswer::OK;
    throw UsageError("--answer 的值必须是 yes、no、cancel 或 ok，而不是“" + text + "”");
}

// Options that take a value: the repeatable ones append, the others keep the last value.
struct ValueOption {
    const char* name;
    std::function<void(GlobalOptions&, const std::string&)> apply;
};

const std::vector<ValueOption>& ValueOptions() {
    static const std::vector<ValueOption> options = {
        {"--system", [](GlobalOptions& o, const std::string& v) { o.systemFile = v; }},
        {"--answer", [](GlobalOptions& o, const std::string& v) { o.answers.push_back(ParseAnswer(v)); }},
        {"--input", [](GlobalOptions& o, const std::string& v) { o.inputs.push_back(v); }},
        {"--pick", [](GlobalOptions& o, const std::string& v) { o.picks.push_back(v); }},
        {"--seed",
         [](GlobalOptions& o, const std::string& v) {
             o.seed = ParseSeed(v);
             if (!o.seed) throw UsageError("--seed 的值必须是 0 到 4294967295 的整数，而不是“" + v + "”");
         }},
        {"--out", [](GlobalOptions& o, const std::string& v) {
             if (v.empty()) throw UsageError("--out 需要一个文件夹");
             o.outDir = v;
         }},
    };
    return options;
}

const ValueOption* FindValueOption(const std::string& name) {
    for (const ValueOption& o : ValueOptions())
        if (name == o.name) return &o;
    return nullptr;
}

bool ApplyFlag(GlobalOptions& o, const std::string& name) {
    if (name == "--no-save") o.noSave = true;
    else if (name == "--force") o.force = true;
    else if (name == "--help" || name == "-h") o.help = true;
    else if (name == "--version") o.version = true;
    else return false;
    return true;
}

void ApplyEnvironment(GlobalOptions& o, bool seedGiven, const EnvironmentLookup& env) {
    if (o.systemFile.empty()) {
        auto fromEnv = env("TOLM_SYSTEM");
        o.systemFile = fromEnv && !fromEnv->empty() ? *fromEnv : DefaultSystemFile(env);
    }
    if (!seedGiven) {
        auto fromEnv = env("TOLM_SEED");
        if (fromEnv && !fromEnv->empty()) {
            o.seed = ParseSeed(*fromEnv);
            if (!o.seed) throw UsageError("环境变量 TOLM_SEED 的值必须是 0 到 4294967295 的整数，而不是“" + *fromEnv + "”");
        }
    }
}

}  // namespace

std::string DefaultSystemFile(const EnvironmentLookup& env) {
    std::string home;
    if (auto h = env("HOME"); h && !h->empty()) home = *h;
    else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) home = pw->pw_dir;
    else home = ".";
    return home + "/考场编排/考场编排系统.xlsx";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, const EnvironmentLookup& env,
                             const CommandOptionLookup& commandOptions, const CommandOptionLookup& commandFlags) {
    CommandLine cl;
    bool optionsEnded = false, seedGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool isOption = !optionsEnded && a.size() > 1 && a[0] == '-';
        if (!isOption) {
            if (cl.command.empty()) cl.command = a;
            else cl.arguments.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (ApplyFlag(cl.options, a)) continue;
        if (!cl.command.empty() && commandFlags && commandFlags(cl.command, a)) {
            cl.options.commandOptions.emplace_back(a, "");
            continue;
        }
        auto eq = a.find('=');
        std::string name = a.substr(0, eq);
        const ValueOption* opt = FindValueOption(name);
        const bool commandOption =
            !opt && !cl.command.empty() && commandOptions && commandOptions(cl.command, name);
        if (!opt && !commandOption) throw UsageError("未知的选项“" + a + "”");
        std::string value;
        if (eq != std::string::npos) value = a.substr(eq + 1);
        else if (i + 1 < args.size()) value = args[++i];
        else throw UsageError("选项 " + name + " 缺少参数");
        if (commandOption) cl.options.commandOptions.emplace_back(name, value);
        else opt->apply(cl.options, value);
        seedGiven = seedGiven || name == "--seed";
    }
    ApplyEnvironment(cl.options, seedGiven, env);
    return cl;
}

}  // namespace cli
