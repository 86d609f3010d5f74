#include "toolkit/report/ReportProgram.h"

namespace {

ReportProgram& program()
{
    static ReportProgram p;
    return p;
}

} // namespace

void setReportProgram(const ReportProgram& p)
{
    program() = p;
}

const ReportProgram& reportProgram()
{
    return program();
}
