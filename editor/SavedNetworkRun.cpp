#include "editor/SavedNetworkRun.h"

#include "editor/BuildCommands.h"
#include "editor/OutputNames.h"
#include "model/KorvaneDoc.h"

namespace {

// A run without a user to ask: the messages are kept, and the quanta-per-day question is answered
// yes, so that the run itself says what is wrong with the settings.
class CKeptMessages : public IBuildPrompts {
public:
    explicit CKeptMessages(std::vector<std::string>& messages) : m_messages(messages) {}
    void ShowMessage(const std::string& text, Icon) override { m_messages.push_back(text); }
    bool AskYesNo(const std::string&, Icon) override { return true; }

private:
    std::vector<std::string>& m_messages;
};

}  // namespace

bool IsNetworkFile(const std::filesystem::path& file)
{
    const std::string name = file.filename().string();
    return NetworkTitle(name) != name;
}

CSavedNetworkRun PrepareSavedNetworkRun(const std::filesystem::path& file, EngineKind engine,
                                        const std::filesystem::path& outputFolder)
{
    CKorvaneDoc doc;
    doc.OpenFile(file);
    doc.SetTitle(NetworkTitle(file.filename().string()));
    CSavedNetworkRun run;
    for (const std::string& warning : doc.GetLoadWarnings())
        run.messages.push_back(file.string() + ": " + warning);

    std::vector<std::string> shown;
    CKeptMessages prompts(shown);
    CBuildCommands commands(doc, prompts);
    // A run the engine refuses shows what "Debug network" shows; the other engine's values play
    // no part in whether it runs.
    if (!CBuildCommands::NetworkPasses(doc, engine)) {
        const std::vector<CNetworkError> errors = commands.DebugNetwork();
        run.messages.insert(run.messages.end(), shown.begin(), shown.end());
        for (const CNetworkError& error : errors)
            run.messages.push_back(error.text);
        return run;
    }
    const COutputPlace place{outputFolder / (doc.GetTitle() + ".mc"), outputFolder};
    if (engine == EngineKind::MonteCarlo)
        run.job = commands.PrepareMonteCarloRun(false, place, nullptr);
    else
        run.job = commands.PrepareAnalyticalRun(false, place);
    run.messages.insert(run.messages.end(), shown.begin(), shown.end());
    return run;
}
