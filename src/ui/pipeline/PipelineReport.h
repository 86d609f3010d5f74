#pragma once

#include <vector>

#include "data/Pipeline.h"
#include "toolkit/report/ReportDefinition.h"

// The pipeline's rows shown, as a report: a landscape list with the window's columns, for the
// preview, the printer and PDF. GUI thread only.
ReportDefinition pipelineReport();

// Previews the rows shown, in their order, through the preview service; returns when the
// preview is closed.
void previewPipeline(const std::vector<Pipeline::Row>& rows, const std::vector<int>& shown);
