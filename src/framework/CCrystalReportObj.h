#pragma once

// Report object: one print of one report file through the host's report engine.
// Callers construct it, set formulas / formula errors / parameters / full path, call
// Print once and delete it. Without an engine (no host, batch tools) every call is a
// no-op and Print reports false, so business code prints unconditionally.

#include "WSIReportEngine.h"

#include <cstddef>
#include <memory>

class CCrystalReportObj {
public:
    // preview: 1 shows a preview, 0 prints.
    CCrystalReportObj(WSIReportEngine* engine, const char* reportFile, const char* title,
                      int preview, WSIWindow* parent);
    ~CCrystalReportObj();
    CCrystalReportObj(const CCrystalReportObj&) = delete;
    CCrystalReportObj& operator=(const CCrystalReportObj&) = delete;

    void SetFormulas(const ST_FORMULAS* formulas, int count);
    void SetFormulaError(bool on);
    void SetParameter(const CRPEValueInfo* values, int count);
    void SetFullPath(bool on);
    bool Print(bool showDialog, bool wait);

private:
    std::unique_ptr<WSIReportJob> m_job;
};

// Fills one formula entry: string type, name, value written between double quotes.
void SetStringFormula(ST_FORMULAS& formula, const char* name, const char* value);

// Temporary file path in the data folder's temporary area:
//   <data>/tmp/<part1>_<part2>_<name>.tmp, name formatted from format and the values.
// The folder is created when missing. Returns the length, or -1 when the path did not
// fit into out (out then holds "").
int ConstructTemporaryFilePath(char* out, std::size_t outSize, const char* part1, const char* part2,
                               const char* format, ...) __attribute__((format(printf, 5, 6)));

template <std::size_t N, typename... Args>
int ConstructTemporaryFilePath(char (&out)[N], const char* part1, const char* part2,
                               const char* format, Args... values) {
    return ConstructTemporaryFilePath(static_cast<char*>(out), N, part1, part2, format, values...);
}
