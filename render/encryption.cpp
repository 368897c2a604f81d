// Resolving the encryption library's entry points and owning its handle for one job.
#include "render/encryption.h"

#include "common/library.h"

namespace zep {

EncryptionEntries ResolveEncryption(HMODULE module)
{
    EncryptionEntries fn = {};
    fn.CreateEncryption = GetExport<PFN_CreateEncryption>(module, "CreateEncryption");
    fn.InitEncryption = GetExport<PFN_InitEncryption>(module, "InitEncryption");
    fn.InitEncryptionEx = GetExport<PFN_InitEncryptionEx>(module, "InitEncryptionEx");
    fn.InitEncryptionEx2 = GetExport<PFN_InitEncryptionEx2>(module, "InitEncryptionEx2");
    fn.UpdateEncryption = GetExport<PFN_UpdateEncryption>(module, "UpdateEncryption");
    fn.EndEncryption = GetExport<PFN_EndEncryption>(module, "EndEncryption");
    fn.DeleteEncryption = GetExport<PFN_DeleteEncryption>(module, "DeleteEncryption");
    fn.DecryptPassword = GetExport<PFN_DecryptPassword>(module, "DecryptPassword");
    fn.DispPasswordUI = GetExport<PFN_DispPasswordUI>(module, "DispPasswordUI");
    return fn;
}

EncryptionContext::EncryptionContext(Library module, const EncryptionEntries &entries)
    : module_(std::move(module)), fn_(entries)
{
    const bool complete = fn_.CreateEncryption && fn_.InitEncryption && fn_.InitEncryptionEx &&
                          fn_.UpdateEncryption && fn_.EndEncryption && fn_.DeleteEncryption &&
                          fn_.DecryptPassword && fn_.DispPasswordUI;
    if (complete) handle_ = fn_.CreateEncryption();
}

EncryptionContext::~EncryptionContext()
{
    if (handle_) fn_.DeleteEncryption(handle_);
}

} // namespace zep
