// Mapping the core driver's PostScript injection points to the plug-in's output routines.
#include "render/dispatcher.h"

#include <string>

#include "common/devmode.h"
#include "render/inject_points.h"
#include "render/jobtype.h"
#include "render/pdev.h"
#include "render/state.h"

namespace zep {
namespace {

bool WatermarkSelected(const RenderCall &rc)
{
    auto dm = rc.devobj ? static_cast<const OemDevmode *>(rc.devobj->pOEMDM) : nullptr;
    return dm && dm->dwWatermarkIndex != 0;
}

// Writes a built text; a text that cannot be built is no failure.
template <typename Build>
bool EmitBuilt(const RenderCall &rc, Build build)
{
    std::string text;
    if (!build(rc, text)) return true;
    return EmitBytes(rc, text.data(), static_cast<DWORD>(text.size()));
}

bool OnBeginStream(const RenderCall &rc)
{
    g_render.captureArmed = true;
    if (GateState *gate = GateOf(rc.devobj)) GateStartJob(*gate);
    return IsEpsOutput(rc) || WriteJobHeader(rc);
}

bool OnBeginProlog(const RenderCall &rc)
{
    if (IsEpsOutput(rc)) return true;
    EmitPrologFiles(rc);
    EmitPrologGlobals(rc);
    return !WatermarkSelected(rc) || EmitBuilt(rc, BuildWatermarkInit);
}

bool OnBeginSetup(const RenderCall &rc) { return IsEpsOutput(rc) || EmitOverlayForms(rc); }

bool OnEndSetup(const RenderCall &rc) { return EmitHalftoneGamma(rc); }

bool OnEndStream(const RenderCall &rc)
{
    return IsEpsOutput(rc) || EmitBytes(rc, kJobTrailer, sizeof(kJobTrailer) - 1);
}

bool OnEndPageSetup(const RenderCall &rc)
{
    return !WatermarkSelected(rc) || EmitBuilt(rc, BuildWatermarkPage);
}

struct InjectionRow {
    DWORD index;
    bool (*handler)(const RenderCall &);
};

const InjectionRow kInjectionTable[] = {
    {PSINJECT_BEGINSTREAM, OnBeginStream},
    {PSINJECT_BEGINPROLOG, OnBeginProlog},
    {PSINJECT_BEGINSETUP, OnBeginSetup},
    {PSINJECT_ENDSETUP, OnEndSetup},
    {PSINJECT_ENDSTREAM, OnEndStream},
    {PSINJECT_ENDPAGESETUP, OnEndPageSetup},
};

} // namespace

bool DispatchInjection(const RenderCall &rc, DWORD index)
{
    for (const InjectionRow &row : kInjectionTable)
        if (row.index == index) return row.handler(rc);
    return true;
}

HRESULT RunCommand(const RenderCall &rc, DWORD index, DWORD *result)
{
    if (DispatchInjection(rc, index)) {
        if (result) *result = ERROR_SUCCESS;
        return S_OK;
    }
    if (result) *result = GetLastError();
    return S_FALSE;
}

} // namespace zep
