// The files of one Monte Carlo run: the text trace, the HTML report and a temporary file.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// Each run owns one COutput, so two runs never share a handle. The trace and the HTML report are
// written under a temporary name and renamed over their real name when they are closed, so a
// failed write keeps the previous report; opening one removes the temporary files that killed
// runs and saves left in its folder. Every file is made new, never through a link planted under its name.
// The first write error is kept (naming the file) and every later write to that file is dropped;
// Close reports it by returning false.
class COutput {
public:
    COutput() = default;
    COutput(const COutput&) = delete;
    COutput& operator=(const COutput&) = delete;
    // Files still open are abandoned: their temporary names are removed, the old files stay.
    ~COutput();

    // Trace lines carry a level; only levels with the bit of value 2 set (2, 3) are written.
    static bool IsWritten(unsigned level) { return (level & 2u) != 0; }

    // A name the file could not take when it is closed (a folder, an immutable file) fails here,
    // before anything is simulated.
    bool OpenLog(const std::filesystem::path& path);
    void Log(unsigned level, std::string_view text);

    bool OpenHtml(const std::filesystem::path& path);
    void WriteHtml(std::string_view text);
    // Drops the trace and the report being written; the files of an earlier run stay as they were.
    void AbandonReports();
    // Closes the trace and the report as a pair: neither replaces its old file unless both were
    // written in full and both took their names, so a new trace never sits beside an old report.
    // A report never opened counts as written.
    bool CloseReports();

    // Written in place (it is itself a temporary file); fails when anything has the name already.
    bool OpenTempFile(const std::filesystem::path& path);
    void WriteTempFile(std::string_view text);
    bool CloseTempFile();

    bool Failed() const { return !m_error.empty(); }
    // The first failure of any of the three files, e.g. "Cannot write \"/x/net.htm\": No space left on device".
    const std::string& GetError() const { return m_error; }

private:
    class CFileSlot {
    public:
        bool Open(const std::filesystem::path& path, bool viaTemporaryName, std::string& error);
        void Write(std::string_view text, std::string& error);
        bool Close(std::string& error);
        // Close in two steps: Finish flushes and closes, Commit gives the file its real name.
        bool Finish(std::string& error);
        // With `keepReplaced`, the file it replaces stays under a temporary name until Release
        // drops it or Revert puts it back (or removes the new file when there was none).
        bool Commit(std::string& error, bool keepReplaced = false);
        void Release();
        void Revert();
        void Abandon();

    private:
        void Fail(const char* what, std::string& error);

        std::FILE* m_file = nullptr;
        bool m_finished = false;  // closed, still under its temporary name
        std::filesystem::path m_path;     // the name the file is known by
        std::filesystem::path m_writing;  // the name being written
        std::filesystem::path m_replaced;  // the file a kept commit replaced; empty: none
        bool m_failed = false;
    };

    CFileSlot m_log;
    CFileSlot m_html;
    CFileSlot m_temp;
    std::string m_error;
};
