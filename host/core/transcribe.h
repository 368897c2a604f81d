// Transcription of a DSC PostScript document into the job, with the plug-in's injection points in stream order.
//
// Where each point falls (the header is the run of comment lines up to %%EndComments, the first line that is not a
// "%%" or "%!" comment, or the first section comment such as %%Begin..., %%Page:, %%Trailer):
//   BEGINSTREAM     before the first byte
//   BEGINPROLOG     after the %%BeginProlog line; without one, at the end of the header
//   BEGINSETUP      after the %%BeginSetup line; without one, after the %%EndProlog line, else where the first
//                   page begins
//   ENDSETUP        before the %%EndSetup line; without one, where the first page begins when there was a %%BeginSetup,
//                   else right after BEGINSETUP
//   each page       DrvStartPage before its %%Page: line; ENDPAGESETUP before its %%EndPageSetup line, or right
//                   after the %%Page: line when it has none; DrvSendPage before the next %%Page:, %%Trailer or %%EOF
//   no %%Page:      the whole body is one page, from the end of the %%EndSetup line (else of the %%EndProlog line,
//                   else of the header) to %%Trailer or %%EOF
//   ENDSTREAM       after the last byte
// Comments inside %%BeginDocument / %%EndDocument (embedded documents) are not the document's own. A point never
// falls before the one listed above it, so a document with its comments out of order still gets each point once.
//
// The document is read in place, in bounded blocks and never whole: a first reading finds where the header, prolog
// and setup points fall (the first %%BeginProlog may come anywhere), a second finds each page's points a step
// ahead of the bytes being written, which a third reading copies into the job.
#pragma once
#include "host/core/input.h"
#include "host/core/session.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace zep::host {

enum class DscAction { Inject, StartPage, SendPage };

struct DscPoint {
    uint64_t offset;  // the action happens once the document's bytes before this offset are written
    DscAction action;
    DWORD index;  // injection point, for DscAction::Inject
};

// The actions for a document, in stream order, with non-decreasing offsets; the document is read in blocks of
// `block` bytes (any size gives the same plan).
std::vector<DscPoint> PlanTranscription(std::string_view doc, size_t block = 65536);

// DrvStartDoc, the document with the plan's actions, DrvEndDoc. Stops at the first failing call, or when the
// document cannot be read (the target then holds no error; the document's reader says why).
bool Transcribe(DocumentBytes &doc, TranscriptionTarget &target, const WString &docName, DWORD jobId);
bool Transcribe(std::string_view doc, TranscriptionTarget &target, const WString &docName, DWORD jobId);

} // namespace zep::host
