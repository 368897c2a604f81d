// Feature options read from the core driver and the job type that decides the header and the output gate.
#pragma once
#include "common/jobtype.h"
#include "render/emit.h"

namespace zep {

inline constexpr DWORD kOptionBytes = 64;

// The current option of a PPD feature; "" when the core cannot tell. out holds kOptionBytes + 1.
void GetFeatureOption(const RenderCall &rc, LPCSTR keyword, CHAR *out);
// The option equals name exactly, terminating NUL included.
bool FeatureIs(const RenderCall &rc, LPCSTR keyword, LPCSTR name);
// The core's PostScript output option is Encapsulated PostScript.
bool IsEpsOutput(const RenderCall &rc);

struct JobTypeInputs {
    JobType selected;
    bool jobLimit;         // "ZPJobLimit" is "True"
    bool hardDisk;         // "ZPHDD" is "True"
    bool cryptoConfigured; // "CryptoDll" of the model section is not empty
};
// The decision of EffectiveJobType; cardPresent is asked only where the rule needs it.
template <typename CardPresent>
JobType DecideJobType(const JobTypeInputs &in, CardPresent cardPresent)
{
    if (in.jobLimit && in.hardDisk && in.cryptoConfigured) return JobType::SecureChip;
    if (!in.hardDisk) return JobType::Normal;
    if (in.selected != JobType::Normal && cardPresent()) return JobType::SecureChip;
    return in.selected;
}

JobType EffectiveJobType(const RenderCall &rc);

// Pages per sheet for OemDevmode.bNupSel.
int NupCount(BYTE nupSel);

} // namespace zep
