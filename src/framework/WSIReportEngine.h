#pragma once

// The report engine as the module sees it. The host renders report definition files
// (*.rpt); the core only names the file, the title and the values to fill in. Every
// print is one job: opened, given formulas and parameters, printed once, closed.

#include <cstddef>
#include <memory>

class WSIWindow;

// Formula value types; the module passes every formula as a string.
inline constexpr int kFormulaString = 2;

// One formula: its name in the layout and its value, already written as the text
// between double quotes (e.g. "\"1042\"").
struct ST_FORMULAS {
    int nType = kFormulaString;
    char szName[64] = {};
    char szValue[512] = {};
};

// One report parameter, by position. Numbers and texts are the two kinds in use.
struct CRPEValueInfo {
    enum Kind { Number = 0, Text = 1 };
    int kind = Number;
    double number = 0;
    char text[256] = {};
};

// One print job of the engine; ends when destroyed.
class WSIReportJob {
public:
    virtual ~WSIReportJob() = default;
    virtual void SetFormulas(const ST_FORMULAS* formulas, int count) = 0;
    // On: a formula the layout does not know is reported instead of ignored.
    virtual void SetFormulaError(bool on) = 0;
    virtual void SetParameter(const CRPEValueInfo* values, int count) = 0;
    // On: the report file is a full path, not a name in the report folder.
    virtual void SetFullPath(bool on) = 0;
    // Renders synchronously; showDialog asks for printer choice, wait blocks until done.
    virtual bool Print(bool showDialog, bool wait) = 0;
};

class WSIReportEngine {
public:
    virtual ~WSIReportEngine() = default;
    // preview: shown in a preview window under parent instead of sent to the printer.
    virtual std::unique_ptr<WSIReportJob> OpenJob(const char* reportFile, const char* title,
                                                  bool preview, WSIWindow* parent) = 0;
};
