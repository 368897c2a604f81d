// Job types by option name.
#include "common/jobtype.h"

#include <cstring>

#include "common/keywords.h"

namespace zep {
namespace {

struct JobTypeName {
    const char *name;
    JobType type;
};
constexpr JobTypeName kJobTypes[] = {
    {kw::kJobNormal, JobType::Normal},
    {kw::kJobSpool, JobType::Spool},
    {kw::kJobSecure, JobType::Secure},
    {kw::kJobSecureChip, JobType::SecureChip},
};

} // namespace

JobType JobTypeFromOption(LPCSTR option)
{
    for (const JobTypeName &t : kJobTypes)
        if (option && std::strcmp(option, t.name) == 0) return t.type;
    return JobType::Other;
}

} // namespace zep
