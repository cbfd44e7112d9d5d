#include "montecarlo/Output.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <unistd.h>

#include "platform/Files.h"

namespace {

// Why a finished file could not be renamed over `path` (0: no reason known now): a name too long
// for its folder, a folder of that name, or an immutable file. Found at the start, it does not
// cost a whole run.
int WhyNotReplaceable(const std::filesystem::path& path)
{
    if (path.filename().native().size() > korvane::NameMax(path.parent_path()))
        return ENAMETOOLONG;
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(path, ec);
    if (std::filesystem::is_directory(status))
        return EISDIR;
    if (std::filesystem::is_regular_file(status) && ::access(path.c_str(), W_OK) != 0 && errno == EPERM)
        return EPERM;
    return 0;
}

}  // namespace

COutput::~COutput()
{
    m_log.Abandon();
    m_html.Abandon();
    m_temp.Abandon();
}

void COutput::AbandonReports()
{
    m_log.Abandon();
    m_html.Abandon();
}

bool COutput::CFileSlot::Open(const std::filesystem::path& path, bool viaTemporaryName, std::string& error)
{
    Abandon();
    m_path = path;
    m_failed = false;
    if (viaTemporaryName) {
        // Any network's: a killed run of another network in this folder may have left a report
        // of gigabytes.
        korvane::RemoveAbandonedTemporaries(path.parent_path(), ".part");
        if (const int reason = WhyNotReplaceable(path); reason != 0) {
            errno = reason;
            Fail("create", error);
            return false;
        }
    }
    m_writing = viaTemporaryName ? korvane::UniqueSiblingName(path, ".part") : path;
    m_file = korvane::CreateNewFile(m_writing);
    if (m_file == nullptr) {
        Fail("create", error);
        return false;
    }
    return true;
}

void COutput::CFileSlot::Fail(const char* what, std::string& error)
{
    m_failed = true;
    if (error.empty())
        error = std::string("Cannot ") + what + " \"" + m_path.string() + "\": " + std::strerror(errno);
}

void COutput::CFileSlot::Write(std::string_view text, std::string& error)
{
    if (m_file == nullptr || m_failed || text.empty())
        return;
    if (std::fwrite(text.data(), 1, text.size(), m_file) != text.size())
        Fail("write", error);
}

bool COutput::CFileSlot::Close(std::string& error)
{
    return Finish(error) && Commit(error);
}

bool COutput::CFileSlot::Finish(std::string& error)
{
    if (m_file == nullptr)
        return !m_failed;
    if (std::fflush(m_file) != 0 && !m_failed)
        Fail("write", error);
    if (std::fclose(m_file) != 0 && !m_failed)
        Fail("write", error);
    m_file = nullptr;
    m_finished = true;
    if (m_failed)
        Abandon();
    return !m_failed;
}

bool COutput::CFileSlot::Commit(std::string& error, bool keepReplaced)
{
    if (!m_finished)
        return !m_failed;
    m_finished = false;
    if (m_writing == m_path)
        return true;
    std::error_code ec;
    const auto old = std::filesystem::symlink_status(m_path, ec);
    ec.clear();
    bool linked = false;
    if (keepReplaced && std::filesystem::exists(old) && !std::filesystem::is_directory(old)) {
        // A second name keeps the old file in place; where the file system has no hard links it
        // is moved aside.
        m_replaced = korvane::UniqueSiblingName(m_path, ".part");
        linked = ::link(m_path.c_str(), m_replaced.c_str()) == 0;
        if (!linked)
            std::filesystem::rename(m_path, m_replaced, ec);
        if (ec)
            m_replaced.clear();
    }
    if (!ec)
        std::filesystem::rename(m_writing, m_path, ec);
    if (ec) {
        m_failed = true;
        if (error.empty())
            error = "Cannot write \"" + m_path.string() + "\": " + ec.message();
        std::filesystem::remove(m_writing, ec);
        // The old file still has its name when it was linked: renaming one link of a file onto
        // another does nothing (and succeeds), so the second name must go instead.
        if (linked)
            std::filesystem::remove(m_replaced, ec);
        else if (!m_replaced.empty())
            std::filesystem::rename(m_replaced, m_path, ec);
        m_replaced.clear();
    }
    return !m_failed;
}

void COutput::CFileSlot::Release()
{
    std::error_code ec;
    if (!m_replaced.empty())
        std::filesystem::remove(m_replaced, ec);
    m_replaced.clear();
}

void COutput::CFileSlot::Revert()
{
    std::error_code ec;
    if (!m_replaced.empty())
        std::filesystem::rename(m_replaced, m_path, ec);
    else
        std::filesystem::remove(m_path, ec);
    m_replaced.clear();
}

void COutput::CFileSlot::Abandon()
{
    if (m_file == nullptr && !m_finished)
        return;
    if (m_file != nullptr)
        std::fclose(m_file);
    m_file = nullptr;
    m_finished = false;
    std::error_code ec;
    if (m_writing != m_path)
        std::filesystem::remove(m_writing, ec);
}

bool COutput::OpenLog(const std::filesystem::path& path)
{
    return m_log.Open(path, true, m_error);
}

void COutput::Log(unsigned level, std::string_view text)
{
    if (IsWritten(level))
        m_log.Write(text, m_error);
}

bool COutput::CloseReports()
{
    const bool logFinished = m_log.Finish(m_error);
    const bool htmlFinished = m_html.Finish(m_error);
    if (!logFinished || !htmlFinished) {
        AbandonReports();
        return false;
    }
    if (!m_log.Commit(m_error, true)) {
        m_html.Abandon();
        return false;
    }
    if (!m_html.Commit(m_error)) {
        m_log.Revert();
        return false;
    }
    m_log.Release();
    return true;
}

bool COutput::OpenHtml(const std::filesystem::path& path)
{
    return m_html.Open(path, true, m_error);
}

void COutput::WriteHtml(std::string_view text)
{
    m_html.Write(text, m_error);
}

bool COutput::OpenTempFile(const std::filesystem::path& path)
{
    return m_temp.Open(path, false, m_error);
}

void COutput::WriteTempFile(std::string_view text)
{
    m_temp.Write(text, m_error);
}

bool COutput::CloseTempFile()
{
    return m_temp.Close(m_error);
}
