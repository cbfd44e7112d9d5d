#include "montecarlo/ParserSyntax.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <new>
#include <system_error>

#include "montecarlo/Output.h"
#include "platform/Files.h"

namespace {

// Thrown by Error once the message is recorded; caught where the parse ends.
struct NdlStop {};

// Macro texts are copied in at each use, so a chain of macros can multiply the text; past this
// many expanded characters the text is refused rather than exhausting memory.
constexpr std::uint64_t kExpansionLimit = std::uint64_t{1} << 24;

// Keywords from the text can be any length; messages show at most this much of them.
constexpr std::size_t kShownKeyword = 64;

int Lower(int c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

bool IsBlank(int c)
{
    return c == 0 || c == '\t' || c == ' ';
}

bool IsAlpha(int c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

bool IsNumberChar(int c)
{
    return IsDigit(c) || c == '.' || c == '+' || c == '-' || Lower(c) == 'e';
}

bool IsEolOrEof(int c)
{
    return c == '\n' || c == -1;
}

bool IsMacroNameChar(int c, bool first)
{
    return IsAlpha(c) || (!first && IsDigit(c));
}

// Whether the text is exactly one decimal number: [sign] digits [. digits] or [sign] . digits,
// then [e [sign] digits]. Also gives the decimal exponent of its first significant digit, which
// tells an overflow from an underflow.
bool IsNumberText(std::string_view s, std::int64_t& magnitude)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    std::int64_t firstSignificant = 0;  // decimal exponent of the first non-zero digit
    bool significant = false;
    std::int64_t integerDigits = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++digits) {
        if (!significant && s[i] != '0') {
            significant = true;
            integerDigits = 0;
        }
        if (significant)
            ++integerDigits;
    }
    if (significant)
        firstSignificant = integerDigits - 1;
    if (i < s.size() && s[i] == '.') {
        ++i;
        std::int64_t position = 0;
        for (; i < s.size() && IsDigit(s[i]); ++i, ++digits) {
            --position;
            if (!significant && s[i] != '0') {
                significant = true;
                firstSignificant = position;
            }
        }
    }
    if (digits == 0)
        return false;
    std::int64_t exponent = 0;
    if (i < s.size() && Lower(s[i]) == 'e') {
        ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            negative = s[i++] == '-';
        const std::size_t start = i;
        for (; i < s.size() && IsDigit(s[i]); ++i)
            exponent = std::min<std::int64_t>(exponent * 10 + (s[i] - '0'), std::int64_t{1} << 40);
        if (i == start)
            return false;
        if (negative)
            exponent = -exponent;
    }
    magnitude = firstSignificant + exponent;
    return i == s.size();
}

}  // namespace

bool CParserSyntax::ReadNumber(std::string_view s, double& value)
{
    std::int64_t magnitude = 0;
    if (!IsNumberText(s, magnitude))
        return false;
    const bool negative = s.front() == '-';
    if (s.front() == '+' || s.front() == '-')
        s.remove_prefix(1);
    double v = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec == std::errc::result_out_of_range) {
        if (magnitude >= 0)
            return false;
        v = 0.0;
    } else if (ec != std::errc() || end != s.data() + s.size()) {
        return false;
    }
    value = negative ? -v : v;
    return true;
}

CParserSyntax::~CParserSyntax()
{
    CloseFile();
}

std::string CParserSyntax::Shown(const std::string& keyword)
{
    return keyword.substr(0, kShownKeyword);
}

bool CParserSyntax::OpenTemp(std::string_view text, const std::filesystem::path& folder)
{
    CloseFile();
    m_line = 0;
    m_column = 0;
    // The name carries the process id, so the copy that a killed run left (the whole network
    // text) is known for abandoned and removed here; nothing else would.
    const std::filesystem::path base = folder / "ndl";
    korvane::RemoveAbandonedSiblings(base, ".tmp");
    const std::filesystem::path name = korvane::UniqueSiblingName(base, ".tmp");
    COutput local;
    COutput& output = m_output != nullptr ? *m_output : local;
    const bool failedBefore = output.Failed();
    std::string reason;
    if (!output.OpenTempFile(name)) {
        reason = "Cannot create a file in \"" + folder.string() + "\": " + std::strerror(errno);
    } else {
        m_tempPath = name;
        output.WriteTempFile(text);
        if (output.CloseTempFile())
            m_file = korvane::OpenFileNoFollow(m_tempPath);
        if (m_file == nullptr) {
            if (output.Failed() && !failedBefore)
                reason = output.GetError();
            else
                reason = "Cannot read \"" + m_tempPath.string() + "\": " + std::strerror(errno);
        }
    }
    if (!reason.empty()) {
        CloseFile();
        m_current = kEof;  // nothing to read
        m_errorMessage = "Warning! Cannot create temporary file handler!\n" + reason;
        return false;
    }
    m_current = 0;  // not the end: the first Next reads
    return true;
}

bool CParserSyntax::CloseFile()
{
    bool removed = true;
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_tempPath.empty()) {
        std::error_code ec;
        removed = std::filesystem::remove(m_tempPath, ec) && !ec;
        m_tempPath.clear();
    }
    m_macros.clear();
    m_pending = nullptr;
    return removed;
}

bool CParserSyntax::Parse(std::string_view text, const std::filesystem::path& tempFolder)
{
    m_errorMessage.clear();
    m_errorLine = m_errorColumn = 0;
    m_expanded = 0;
    if (!OpenTemp(text, tempFolder))
        return false;
    m_pending = nullptr;
    m_atLineStart = true;
    try {
        Advance();
    } catch (const NdlStop&) {
        return false;
    }
    return true;
}

bool CParserSyntax::Close()
{
    return CloseFile();
}

bool CParserSyntax::ParseAll()
{
    try {
        try {
            while (Peek() != kEof)
                ParseDefinition();
        } catch (const std::bad_alloc&) {
            Error("Out of memory");
        }
    } catch (const NdlStop&) {
        return false;
    }
    return true;
}

void CParserSyntax::Error(const std::string& message)
{
    m_errorMessage = message;
    m_errorLine = m_line + 1;
    m_errorColumn = m_column + 1;
    if (m_output != nullptr) {
        std::string line = "error: (L" + std::to_string(m_errorLine) + " C" + std::to_string(m_errorColumn) + ") ";
        line += message;
        line += '\n';
        m_output->Log(3, line);
    }
    throw NdlStop{};
}

// One character of the file, after comments and continuations; every character read is counted
// for the error position. CR before LF is one line end, as a text-mode read gives it.
int CParserSyntax::ReadChar()
{
    if (m_file == nullptr)
        return kEof;
    int mode = 0;
    for (;;) {
        int c = std::fgetc(m_file);
        if (c == EOF)
            return kEof;
        if (c == '\r') {
            const int next = std::fgetc(m_file);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                std::ungetc(next, m_file);
        }
        if (c == '\n') {
            ++m_line;
            m_column = 0;
        } else if (c == '\t') {
            m_column = m_column / 4 * 4 + 4;
        } else {
            ++m_column;
        }
        if (c == '\\') {
            mode = '\\';
            continue;
        }
        if (c == '#' && mode == 0) {
            mode = '#';
            continue;
        }
        if (mode == 0)
            return c;
        if (mode == '#') {
            if (c == '\n')
                return c;  // a comment ends at its line end, which stays
            continue;
        }
        if (c == '\n')
            mode = 0;  // the continued line goes on with the next one
    }
}

void CParserSyntax::Next()
{
    if (m_current != kEof)
        m_current = ReadChar();
}

int CParserSyntax::Peek() const
{
    if (m_pending != nullptr)
        return static_cast<unsigned char>((*m_pending)[static_cast<std::size_t>(m_pendingIndex)]);
    return m_current;
}

void CParserSyntax::Advance()
{
    if (m_pending != nullptr) {
        if (++m_pendingIndex < static_cast<std::int64_t>(m_pending->size())) {
            if (++m_expanded > kExpansionLimit)
                Error("macro expansion is too long");
            return;
        }
        m_pending = nullptr;
    } else {
        Next();
    }
    Settle();
}

void CParserSyntax::Settle()
{
    while (m_pending == nullptr && Current() == '$') {
        if (m_atLineStart) {
            MacroDefinition();
            Next();
            continue;
        }
        MacroUse();
        m_pendingIndex = 0;
        if (!m_pending->empty()) {
            if (++m_expanded > kExpansionLimit)
                Error("macro expansion is too long");
            return;  // the line-start flag stays as it was
        }
        m_pending = nullptr;  // an empty macro: go on with what followed its name
    }
    m_atLineStart = Current() == '\n';
}

std::string CParserSyntax::ReadMacroName()
{
    std::string name;
    for (;;) {
        Next();
        const int c = Lower(Current());
        if (!IsMacroNameChar(c, name.empty()))
            break;
        name += static_cast<char>(c);
    }
    if (name.empty())
        Error("invalid macro identifier");
    return name;
}

void CParserSyntax::MacroDefinition()
{
    std::string name = ReadMacroName();
    while (IsBlank(Current()))
        Next();
    if (Current() != '=')
        Error("syntax error, expecting '='");
    Next();
    if (m_macros.count(name) != 0)
        Error("macro identifier is already defined");
    m_atLineStart = false;
    // The character after '=' is a new one like any other: a macro written there is expanded too,
    // and an empty text leaves the line end current with the line-start flag set.
    Settle();
    std::string text;
    while (!IsEolOrEof(Peek())) {
        text += static_cast<char>(Peek());
        Advance();
    }
    m_macros.emplace(std::move(name), std::move(text));
}

void CParserSyntax::MacroUse()
{
    const std::string name = ReadMacroName();
    const auto found = m_macros.find(name);
    if (found == m_macros.end())
        Error("undefined macro identifier");
    m_pending = &found->second;
}

void CParserSyntax::SkipBlanks(bool newlines)
{
    for (int c = Peek(); IsBlank(c) || (newlines && c == '\n'); c = Peek())
        Advance();
}

/// definition := keyword ':' attribute { attribute } (NL or EOF)
void CParserSyntax::ParseDefinition()
{
    SkipBlanks(true);
    if (Peek() == kEof)
        return;
    OnTypeKeyword(ReadKeyword());
    SkipBlanks();
    if (Peek() != ':')
        Error("syntax error, expecting ':'");
    Advance();
    do {
        ParseAttribute();
        SkipBlanks();
    } while (Peek() != kEof && Peek() != '\n');
    OnEndOfDefinition();
    Advance();
}

/// keyword := letter { letter }   (compared in lower case)
std::string CParserSyntax::ReadKeyword()
{
    std::string keyword;
    for (int c = Lower(Peek()); IsAlpha(c); c = Lower(Peek())) {
        keyword += static_cast<char>(c);
        Advance();
    }
    if (keyword.empty())
        Error("syntax error, expecting keyword");
    return keyword;
}

/// attribute := keyword '=' value [';']   (a line end or the end of the text also ends it)
void CParserSyntax::ParseAttribute()
{
    SkipBlanks();
    const std::string keyword = ReadKeyword();
    SkipBlanks();
    if (Peek() != '=')
        Error("syntax error, expecting '='");
    Advance();
    OnAttribute(keyword, ParseValue());
    SkipBlanks();
    const int c = Peek();
    if (c == ';')
        Advance();
    else if (!IsEolOrEof(c))
        Error("syntax error, expecting ';', <eol> or <eof>");
}

/// value := string | number { ',' number }
CAttributeValue CParserSyntax::ParseValue()
{
    SkipBlanks();
    CAttributeValue value;
    if (Peek() == '"') {
        value.kind = CAttributeValue::String;
        value.text = ParseString();
    } else if (IsNumberChar(Peek())) {
        value.kind = CAttributeValue::Numbers;
        value.numbers = ParseNumberList();
    } else {
        Error("syntax error, expecting string or numeric value");
    }
    return value;
}

/// string := '"' { any character but '"' and the line end } '"'   (no escapes)
std::string CParserSyntax::ParseString()
{
    std::string text;
    for (;;) {
        Advance();
        const int c = Peek();
        if (c == '\n')
            Error("syntax error, unexpected <eol> in string");
        if (c == kEof)
            Error("syntax error, unexpected <eof> in string");
        if (c == '"')
            break;
        text += static_cast<char>(c);
    }
    Advance();
    SkipBlanks();
    return text;
}

std::vector<double> CParserSyntax::ParseNumberList()
{
    std::vector<double> numbers;
    for (;;) {
        numbers.push_back(ParseNumber());
        SkipBlanks();
        if (Peek() != ',')
            return numbers;
        Advance();
        SkipBlanks();
    }
}

/// number := [sign] digits ['.' digits] ['e' [sign] digits]   (also '.' digits)
double CParserSyntax::ParseNumber()
{
    std::string text;
    for (int c = Peek(); IsNumberChar(c); c = Peek()) {
        text += static_cast<char>(c);
        Advance();
    }
    double value = 0.0;
    if (!ReadNumber(text, value))
        Error("syntax error, invalid number format");
    return value;
}
