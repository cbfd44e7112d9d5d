// The Monte Carlo worker's part of a run: what it is given and how its outcome reads to the user.
#pragma once

#include <filesystem>
#include <string>

#include "editor/OutputNames.h"
#include "editor/RunController.h"

// Everything the worker reads, copied on the UI thread before it starts.
struct MonteCarloThreadParams {
    std::string m_strTitle;  // the network's name in the reports
    std::string m_strNDL;    // the generated text
    std::filesystem::path m_pszTextFile;
    std::filesystem::path m_pszHtmlFile;
    // The temporary NDL file is made under a unique name in this one's folder.
    std::filesystem::path m_pszTempFile;
};

// A run of `ndl` titled `title` into the files `names` gives, its temporary file among them.
MonteCarloThreadParams MakeMonteCarloParams(std::string title, std::string ndl, const COutputNames& names);

class CMonteCarloJob : public CRunJob {
public:
    explicit CMonteCarloJob(MonteCarloThreadParams params) : m_params(std::move(params)) {}
    const MonteCarloThreadParams& GetParams() const { return m_params; }

    RunResult Execute(CRunControl& control, ISimulationProgress& progress) override;

private:
    MonteCarloThreadParams m_params;
};
