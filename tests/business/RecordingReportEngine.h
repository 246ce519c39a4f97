#pragma once

// Report engine for tests: records every job (file, title, preview flag, formulas in
// order, parameters, formula-error and full-path flags) and every call in the order
// it arrived, so a test can check what a print asked for without rendering anything.

#include "WSIReportEngine.h"

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct RecordedReport {
    std::string file;
    std::string title;
    bool preview = false;
    WSIWindow* parent = nullptr;
    // name, value as passed (value keeps its double quotes)
    std::vector<std::pair<std::string, std::string>> formulas;
    std::vector<int> formulaTypes;
    bool formulaError = false;
    std::vector<CRPEValueInfo> parameters;
    bool fullPath = false;
    // "open", "formulas", "formulaError", "parameter", "fullPath", "print", "close"
    std::vector<std::string> calls;
    // Contents of the report file when Print ran and the file was a readable full path.
    std::string fileContentsAtPrint;
};

class RecordingReportEngine : public WSIReportEngine {
public:
    std::vector<RecordedReport> reports;

    std::unique_ptr<WSIReportJob> OpenJob(const char* reportFile, const char* title, bool preview,
                                          WSIWindow* parent) override {
        RecordedReport r;
        r.file = reportFile ? reportFile : "";
        r.title = title ? title : "";
        r.preview = preview;
        r.parent = parent;
        r.calls.push_back("open");
        reports.push_back(std::move(r));
        return std::make_unique<Job>(*this, reports.size() - 1);
    }

private:
    class Job : public WSIReportJob {
    public:
        Job(RecordingReportEngine& e, std::size_t i) : m_engine(e), m_index(i) {}
        ~Job() override { rec().calls.push_back("close"); }
        void SetFormulas(const ST_FORMULAS* f, int count) override {
            rec().calls.push_back("formulas");
            for (int i = 0; i < count; ++i) {
                rec().formulas.emplace_back(f[i].szName, f[i].szValue);
                rec().formulaTypes.push_back(f[i].nType);
            }
        }
        void SetFormulaError(bool on) override {
            rec().calls.push_back("formulaError");
            rec().formulaError = on;
        }
        void SetParameter(const CRPEValueInfo* v, int count) override {
            rec().calls.push_back("parameter");
            for (int i = 0; i < count; ++i)
                rec().parameters.push_back(v[i]);
        }
        void SetFullPath(bool on) override {
            rec().calls.push_back("fullPath");
            rec().fullPath = on;
        }
        bool Print(bool, bool) override {
            rec().calls.push_back("print");
            if (rec().fullPath) {
                if (FILE* fp = std::fopen(rec().file.c_str(), "rb")) {
                    char buf[4096];
                    std::size_t n;
                    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0)
                        rec().fileContentsAtPrint.append(buf, n);
                    std::fclose(fp);
                }
            }
            return true;
        }

    private:
        RecordedReport& rec() { return m_engine.reports[m_index]; }
        RecordingReportEngine& m_engine;
        std::size_t m_index;
    };
};
