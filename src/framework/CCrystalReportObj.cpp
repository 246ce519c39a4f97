#include "CCrystalReportObj.h"

#include "BoundedFormat.h"
#include "Paths.h"
#include "Trace.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <filesystem>
#include <system_error>

CCrystalReportObj::CCrystalReportObj(WSIReportEngine* engine, const char* reportFile,
                                     const char* title, int preview, WSIWindow* parent) {
    TVL_TRACE("CCrystalReportObj::CCrystalReportObj");
    if (engine)
        m_job =
            engine->OpenJob(reportFile ? reportFile : "", title ? title : "", preview != 0, parent);
}

CCrystalReportObj::~CCrystalReportObj() {
    TVL_TRACE("CCrystalReportObj::~CCrystalReportObj");
}

void CCrystalReportObj::SetFormulas(const ST_FORMULAS* formulas, int count) {
    TVL_TRACE("CCrystalReportObj::SetFormulas");
    if (m_job)
        m_job->SetFormulas(formulas, count);
}

void CCrystalReportObj::SetFormulaError(bool on) {
    TVL_TRACE("CCrystalReportObj::SetFormulaError");
    if (m_job)
        m_job->SetFormulaError(on);
}

void CCrystalReportObj::SetParameter(const CRPEValueInfo* values, int count) {
    TVL_TRACE("CCrystalReportObj::SetParameter");
    if (m_job)
        m_job->SetParameter(values, count);
}

void CCrystalReportObj::SetFullPath(bool on) {
    TVL_TRACE("CCrystalReportObj::SetFullPath");
    if (m_job)
        m_job->SetFullPath(on);
}

bool CCrystalReportObj::Print(bool showDialog, bool wait) {
    TVL_TRACE("CCrystalReportObj::Print");
    return m_job ? m_job->Print(showDialog, wait) : false;
}

void SetStringFormula(ST_FORMULAS& formula, const char* name, const char* value) {
    formula.nType = kFormulaString;
    const char* nm = name ? name : "";
    const std::size_t nameLen = std::min(std::strlen(nm), sizeof formula.szName - 1);
    std::memcpy(formula.szName, nm, nameLen);
    formula.szName[nameLen] = '\0';
    // Cut the value, not the closing quote, when it does not fit.
    const std::size_t room = sizeof formula.szValue - 3;
    const char* v = value ? value : "";
    const std::size_t n = std::min(std::strlen(v), room);
    formula.szValue[0] = '"';
    std::memcpy(formula.szValue + 1, v, n);
    formula.szValue[n + 1] = '"';
    formula.szValue[n + 2] = '\0';
}

int ConstructTemporaryFilePath(char* out, std::size_t outSize, const char* part1, const char* part2,
                               const char* format, ...) {
    if (!out || outSize == 0)
        return -1;
    out[0] = '\0';
    char name[256];
    va_list args;
    va_start(args, format);
    const int r = VFormatBounded(__LINE__, __FILE__, name, sizeof name, format, args);
    va_end(args);
    if (r < 0)
        return -1;
    std::filesystem::path dir = std::filesystem::path(tavel::DataDir()) / "tmp";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::string path =
        (dir / (std::string(part1 ? part1 : "") + "_" + (part2 ? part2 : "") + "_" + name + ".tmp"))
            .string();
    if (path.size() + 1 > outSize)
        return -1;
    std::memcpy(out, path.c_str(), path.size() + 1);
    return static_cast<int>(path.size());
}
