// The core driver's side of one rendering plug-in: its interfaces, the device object, the DDI table and the
// output that the transcription and the plug-in write into.
#pragma once
#include "common/oemintf.h"
#include "host/core/devmode.h"
#include "host/core/text.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zep::host {

// Entry points travel as untyped PFNs and FARPROCs; going through void(*)() says the cast is deliberate.
template <typename To, typename From>
To FunctionCast(From f)
{
    return reinterpret_cast<To>(reinterpret_cast<void (*)()>(f));
}

// What the plug-in reads back through DrvGetDriverSetting.
struct DriverSettings {
    std::map<std::string, std::string> options;  // feature keyword -> current option name
    DWORD psOutputOption = 0;
};

// The calls the transcription makes, in stream order.
class TranscriptionTarget {
public:
    virtual bool StartDoc(const WString &docName, DWORD jobId) = 0;
    virtual bool StartPage() = 0;
    virtual bool SendPage() = 0;
    virtual bool EndDoc() = 0;
    virtual bool Inject(DWORD index) = 0;
    virtual bool Emit(const BYTE *data, size_t size) = 0;

protected:
    ~TranscriptionTarget() = default;
};

// Fills a plug-in section from a field name and a text value; false with a message for an unknown field or a bad
// value. The core does not know the section's layout, the plug-in's side does.
using OemFieldSetter =
    std::function<bool(BYTE *record, DWORD size, const std::string &field, const std::string &value, std::string &error)>;

// Where finished blocks go when the plug-in has no WritePrinter of its own.
using BlockWriter = std::function<bool(const BYTE *data, DWORD size)>;

class RenderSession final : public TranscriptionTarget {
public:
    // plugin: a created plug-in object; ps2: it answered IPrintOemPS2 (then every block passes its WritePrinter).
    RenderSession(IPrintOemPS *plugin, bool ps2, HMODULE module, HANDLE printer, DriverSettings settings);
    ~RenderSession();
    RenderSession(const RenderSession &) = delete;
    RenderSession &operator=(const RenderSession &) = delete;

    void SetBlockSize(DWORD size) { blockSize_ = size ? size : 1; }
    void SetDirectWriter(BlockWriter writer) { direct_ = std::move(writer); }

    // EnableDriver (the plug-in's hook table) and PublishDriverInterface.
    bool EnableDriver();
    // The DEVMODE: public part and core part from the PPD (or the stored defaults), the plug-in section sized,
    // defaulted and merged with the job's record (stored section with the field overrides applied).
    bool BuildDevmode(const Ppd &ppd, const std::map<std::string, std::string> &selection, const WString &deviceName,
                      const std::vector<BYTE> &storedDevmode,
                      const std::vector<std::pair<std::string, std::string>> &fields, const OemFieldSetter &setter);
    bool EnablePdev(const WString &printerName);

    // TranscriptionTarget: the DDI calls go through the plug-in's hooks where it hooks them.
    bool StartDoc(const WString &docName, DWORD jobId) override;
    bool StartPage() override;
    bool SendPage() override;
    bool EndDoc() override;
    bool Inject(DWORD index) override;
    bool Emit(const BYTE *data, size_t size) override;
    // Sends what is left of the output.
    bool Flush();

    const std::string &Error() const { return error_; }
    JobDevmode &Devmode() { return devmode_; }
    DEVOBJ *DevObj() { return &devobj_; }
    DWORD PagesSent() const { return pagesSent_; }
    DWORD JobId() const { return jobId_; }

private:
    friend struct CoreCallbacks;
    bool Fail(std::string message);
    bool WriteBlock(const BYTE *data, DWORD size);
    bool FlushFull();
    PFN Entry(ULONG index) const;

    IPrintOemPS *plugin_;
    IPrintOemPS2 *plugin2_;  // same object, when it has WritePrinter
    HMODULE module_;
    HANDLE printer_;
    DriverSettings settings_;
    DEVOBJ devobj_{};
    DRVPROCS procs_{};
    SURFOBJ surface_{};
    std::vector<DRVFN> coreTable_;
    DRVENABLEDATA coreData_{};
    std::map<ULONG, PFN> hooks_;
    JobDevmode devmode_;
    bool driverEnabled_ = false;
    bool pdevEnabled_ = false;
    bool inPlugin_ = false;
    std::vector<BYTE> pending_;
    DWORD blockSize_ = 4096;
    BlockWriter direct_;
    std::string error_;
    WString docName_;
    DWORD jobId_ = 0;
    bool docStarted_ = false;
    bool inPage_ = false;
    DWORD pagesSent_ = 0;
    LONG x_ = 0, y_ = 0;
};

} // namespace zep::host
