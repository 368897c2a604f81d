// The core driver's side of one rendering plug-in: interfaces, device object, DDI table and output blocks.
#include "host/core/session.h"

#include "common/comobject.h"
#include "host/core/plugincom.h"

#include <algorithm>
#include <cstring>

namespace zep::host {

namespace {

constexpr ULONG kDdiDriverVersion = 0x00030000;  // the DDI version the core's own table is written for
constexpr DWORD kMaxOemSection = 0x10000;        // a DEVMODE's driver extra is a WORD

RenderSession *FromDevObj(PVOID devobj)
{
    return devobj ? static_cast<RenderSession *>(static_cast<PDEVOBJ>(devobj)->hEngine) : nullptr;
}
RenderSession *FromDhpdev(DHPDEV dhpdev) { return FromDevObj(reinterpret_cast<PDEVOBJ>(dhpdev)); }
RenderSession *FromSurface(SURFOBJ *pso) { return pso ? FromDhpdev(pso->dhpdev) : nullptr; }

// The core's helper interface for the plug-in; stateless, it finds the device through the device object.
class CoreServices final : public ComObject<CoreServices, IPrintOemDriverPS, IID_IPrintOemDriverPS> {
public:
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pdriverobj, PCSTR feature, PVOID out, DWORD size,
                                                  PDWORD needed, PDWORD options) override;
    HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID buffer, DWORD size, DWORD *written) override;
};

} // namespace

// The core's callbacks and DDI functions; a friend, so they reach the session's bookkeeping.
struct CoreCallbacks {
    static BOOL GetDriverSetting(PVOID pdriverobj, PCSTR feature, PVOID out, DWORD size, PDWORD needed,
                                 PDWORD options)
    {
        RenderSession *s = FromDevObj(pdriverobj);
        if (!s) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        return AnswerDriverSetting(
            s->settings_.options, [s] { return s->settings_.psOutputOption; }, feature, out, size, needed, options);
    }

    // Appends at the current injection point; the block is sent once the plug-in returns.
    static DWORD WriteSpoolBuf(PDEVOBJ pdevobj, PVOID buffer, DWORD size)
    {
        RenderSession *s = FromDevObj(pdevobj);
        if (!s || (!buffer && size)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        const BYTE *b = static_cast<const BYTE *>(buffer);
        s->pending_.insert(s->pending_.end(), b, b + size);
        return size;
    }
    static DWORD WriteAbortBuf(PDEVOBJ pdevobj, PVOID buffer, DWORD size, DWORD) { return WriteSpoolBuf(pdevobj, buffer, size); }
    static INT XMoveTo(PDEVOBJ pdevobj, INT x, DWORD)
    {
        if (RenderSession *s = FromDevObj(pdevobj)) s->x_ = x;
        return 0;  // no residual: the stand-in has no device units to round to
    }
    static INT YMoveTo(PDEVOBJ pdevobj, INT y, DWORD)
    {
        if (RenderSession *s = FromDevObj(pdevobj)) s->y_ = y;
        return 0;
    }
    static BOOL Unsupported()
    {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    static BOOL GetStandardVariable(PDEVOBJ, DWORD, PVOID, DWORD, PDWORD) { return Unsupported(); }
    static BOOL GetGPDData(PDEVOBJ, DWORD, PVOID, PVOID, DWORD, PDWORD) { return Unsupported(); }
    static BOOL UniTextOut(SURFOBJ *, STROBJ *, FONTOBJ *, CLIPOBJ *, RECTL *, RECTL *, BRUSHOBJ *, BRUSHOBJ *,
                           POINTL *, MIX)
    {
        return Unsupported();
    }

    // Document and page bookkeeping.
    static BOOL APIENTRY StartDoc(SURFOBJ *pso, PWSTR name, DWORD jobId)
    {
        RenderSession *s = FromSurface(pso);
        if (!s) return FALSE;
        s->docStarted_ = true;
        s->docName_ = name ? WString(name) : WString();
        s->jobId_ = jobId;
        s->pagesSent_ = 0;
        return TRUE;
    }
    static BOOL APIENTRY StartPage(SURFOBJ *pso)
    {
        RenderSession *s = FromSurface(pso);
        if (!s || !s->docStarted_) return FALSE;
        s->inPage_ = true;
        return TRUE;
    }
    static BOOL APIENTRY SendPage(SURFOBJ *pso)
    {
        RenderSession *s = FromSurface(pso);
        if (!s || !s->inPage_) return FALSE;
        s->inPage_ = false;
        ++s->pagesSent_;
        return TRUE;
    }
    // The end of the document sends the last block.
    static BOOL APIENTRY EndDoc(SURFOBJ *pso, FLONG)
    {
        RenderSession *s = FromSurface(pso);
        if (!s || !s->docStarted_) return FALSE;
        s->docStarted_ = false;
        return s->Flush() ? TRUE : FALSE;
    }

    // Drawing arrives as PostScript already; the drawing entry points have nothing to add.
    static BOOL APIENTRY RealizeBrush(BRUSHOBJ *, SURFOBJ *, SURFOBJ *, SURFOBJ *, XLATEOBJ *, ULONG) { return TRUE; }
    static BOOL APIENTRY CopyBits(SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, RECTL *, POINTL *) { return TRUE; }
    static BOOL APIENTRY BitBlt(SURFOBJ *, SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, RECTL *, POINTL *, POINTL *,
                                BRUSHOBJ *, POINTL *, ROP4)
    {
        return TRUE;
    }
    static BOOL APIENTRY StretchBlt(SURFOBJ *, SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, COLORADJUSTMENT *,
                                    POINTL *, RECTL *, RECTL *, POINTL *, ULONG)
    {
        return TRUE;
    }
    static BOOL APIENTRY StretchBltROP(SURFOBJ *, SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, COLORADJUSTMENT *,
                                       POINTL *, RECTL *, RECTL *, POINTL *, ULONG, BRUSHOBJ *, DWORD)
    {
        return TRUE;
    }
    static BOOL APIENTRY PlgBlt(SURFOBJ *, SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, COLORADJUSTMENT *, POINTL *,
                                POINTFIX *, RECTL *, POINTL *, ULONG)
    {
        return TRUE;
    }
    static BOOL APIENTRY TransparentBlt(SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, RECTL *, RECTL *, ULONG, ULONG)
    {
        return TRUE;
    }
    static BOOL APIENTRY AlphaBlend(SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, RECTL *, RECTL *, BLENDOBJ *)
    {
        return TRUE;
    }
    static BOOL APIENTRY GradientFill(SURFOBJ *, CLIPOBJ *, XLATEOBJ *, TRIVERTEX *, ULONG, PVOID, ULONG, RECTL *,
                                      POINTL *, ULONG)
    {
        return TRUE;
    }
    static BOOL APIENTRY TextOut(SURFOBJ *, STROBJ *, FONTOBJ *, CLIPOBJ *, RECTL *, RECTL *, BRUSHOBJ *, BRUSHOBJ *,
                                 POINTL *, MIX)
    {
        return TRUE;
    }
    static BOOL APIENTRY StrokePath(SURFOBJ *, PATHOBJ *, CLIPOBJ *, XFORMOBJ *, BRUSHOBJ *, POINTL *, LINEATTRS *,
                                    MIX)
    {
        return TRUE;
    }
    static BOOL APIENTRY FillPath(SURFOBJ *, PATHOBJ *, CLIPOBJ *, BRUSHOBJ *, POINTL *, MIX, FLONG) { return TRUE; }
    static BOOL APIENTRY StrokeAndFillPath(SURFOBJ *, PATHOBJ *, CLIPOBJ *, XFORMOBJ *, BRUSHOBJ *, LINEATTRS *,
                                           BRUSHOBJ *, POINTL *, MIX, FLONG)
    {
        return TRUE;
    }
    // No escapes and no device fonts: the answers that mean "not supported".
    static ULONG APIENTRY Escape(SURFOBJ *, ULONG, ULONG, PVOID, ULONG, PVOID) { return 0; }
    static IFIMETRICS *APIENTRY QueryFont(DHPDEV, ULONG_PTR, ULONG, ULONG_PTR *) { return nullptr; }
    static PVOID APIENTRY QueryFontTree(DHPDEV, ULONG_PTR, ULONG, ULONG, ULONG_PTR *) { return nullptr; }
    static LONG APIENTRY QueryFontData(DHPDEV, FONTOBJ *, ULONG, HGLYPH, GLYPHDATA *, PVOID, ULONG) { return -1; }
    static BOOL APIENTRY QueryAdvanceWidths(DHPDEV, FONTOBJ *, ULONG, HGLYPH *, PVOID, ULONG) { return FALSE; }
    static ULONG APIENTRY FontManagement(SURFOBJ *, FONTOBJ *, ULONG, ULONG, PVOID, ULONG, PVOID) { return 0; }
    static ULONG APIENTRY GetGlyphMode(DHPDEV, FONTOBJ *) { return 0; }
    static HANDLE APIENTRY IcmCreateColorTransform(DHPDEV, LOGCOLORSPACEW *, PVOID, ULONG, PVOID, ULONG, PVOID, ULONG,
                                                   DWORD)
    {
        return nullptr;
    }
    static BOOL APIENTRY IcmDeleteColorTransform(DHPDEV, HANDLE) { return TRUE; }
    static BOOL APIENTRY QueryDeviceSupport(SURFOBJ *, XLATEOBJ *, XFORMOBJ *, ULONG, ULONG, PVOID, ULONG, PVOID)
    {
        return FALSE;
    }
};

namespace {

template <typename F>
DRVFN Fn(ULONG index, F f)
{
    return DRVFN{index, FunctionCast<PFN>(f)};
}

// The core's own DDI table: every function a rendering plug-in may hook.
std::vector<DRVFN> CoreDdiTable()
{
    using C = CoreCallbacks;
    return {
        Fn(INDEX_DrvRealizeBrush, &C::RealizeBrush),
        Fn(INDEX_DrvCopyBits, &C::CopyBits),
        Fn(INDEX_DrvBitBlt, &C::BitBlt),
        Fn(INDEX_DrvStretchBlt, &C::StretchBlt),
        Fn(INDEX_DrvStretchBltROP, &C::StretchBltROP),
        Fn(INDEX_DrvPlgBlt, &C::PlgBlt),
        Fn(INDEX_DrvTransparentBlt, &C::TransparentBlt),
        Fn(INDEX_DrvAlphaBlend, &C::AlphaBlend),
        Fn(INDEX_DrvGradientFill, &C::GradientFill),
        Fn(INDEX_DrvTextOut, &C::TextOut),
        Fn(INDEX_DrvStrokePath, &C::StrokePath),
        Fn(INDEX_DrvFillPath, &C::FillPath),
        Fn(INDEX_DrvStrokeAndFillPath, &C::StrokeAndFillPath),
        Fn(INDEX_DrvStartPage, &C::StartPage),
        Fn(INDEX_DrvSendPage, &C::SendPage),
        Fn(INDEX_DrvEscape, &C::Escape),
        Fn(INDEX_DrvStartDoc, &C::StartDoc),
        Fn(INDEX_DrvEndDoc, &C::EndDoc),
        Fn(INDEX_DrvQueryFont, &C::QueryFont),
        Fn(INDEX_DrvQueryFontTree, &C::QueryFontTree),
        Fn(INDEX_DrvQueryFontData, &C::QueryFontData),
        Fn(INDEX_DrvQueryAdvanceWidths, &C::QueryAdvanceWidths),
        Fn(INDEX_DrvFontManagement, &C::FontManagement),
        Fn(INDEX_DrvGetGlyphMode, &C::GetGlyphMode),
        Fn(INDEX_DrvIcmCreateColorTransform, &C::IcmCreateColorTransform),
        Fn(INDEX_DrvIcmDeleteColorTransform, &C::IcmDeleteColorTransform),
        Fn(INDEX_DrvQueryDeviceSupport, &C::QueryDeviceSupport),
    };
}

HRESULT STDMETHODCALLTYPE CoreServices::DrvGetDriverSetting(PVOID pdriverobj, PCSTR feature, PVOID out, DWORD size,
                                                            PDWORD needed, PDWORD options)
{
    return CoreCallbacks::GetDriverSetting(pdriverobj, feature, out, size, needed, options) ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE CoreServices::DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID buffer, DWORD size, DWORD *written)
{
    DWORD n = CoreCallbacks::WriteSpoolBuf(pdevobj, buffer, size);
    if (written) *written = n;
    return n == size ? S_OK : E_FAIL;
}

} // namespace

RenderSession::RenderSession(IPrintOemPS *plugin, bool ps2, HMODULE module, HANDLE printer, DriverSettings settings)
    : plugin_(plugin), plugin2_(ps2 ? static_cast<IPrintOemPS2 *>(plugin) : nullptr), module_(module),
      printer_(printer), settings_(std::move(settings)), coreTable_(CoreDdiTable())
{
    procs_.DrvWriteSpoolBuf = &CoreCallbacks::WriteSpoolBuf;
    procs_.DrvXMoveTo = &CoreCallbacks::XMoveTo;
    procs_.DrvYMoveTo = &CoreCallbacks::YMoveTo;
    procs_.DrvGetDriverSetting = &CoreCallbacks::GetDriverSetting;
    procs_.DrvGetStandardVariable = &CoreCallbacks::GetStandardVariable;
    procs_.DrvGetGPDData = &CoreCallbacks::GetGPDData;
    procs_.DrvUniTextOut = &CoreCallbacks::UniTextOut;
    procs_.DrvWriteAbortBuf = &CoreCallbacks::WriteAbortBuf;

    devobj_.dwSize = sizeof(DEVOBJ);
    devobj_.hEngine = this;
    devobj_.hPrinter = printer_;
    devobj_.hOEM = module_;
    devobj_.pDrvProcs = &procs_;

    // Surfaces lead back to the device object, as the plug-in's forwarding hooks expect.
    surface_.dhpdev = reinterpret_cast<DHPDEV>(&devobj_);
    surface_.iType = STYPE_DEVICE;

    coreData_.iDriverVersion = kDdiDriverVersion;
    coreData_.c = static_cast<ULONG>(coreTable_.size());
    coreData_.pdrvfn = coreTable_.data();
}

RenderSession::~RenderSession()
{
    if (pdevEnabled_) plugin_->DisablePDEV(&devobj_);
    if (driverEnabled_) plugin_->DisableDriver();
}

bool RenderSession::Fail(std::string message)
{
    if (error_.empty()) error_ = std::move(message);
    return false;
}

bool RenderSession::EnableDriver()
{
    DRVENABLEDATA ded{};
    if (FAILED(plugin_->EnableDriver(PRINTER_OEMINTF_VERSION, sizeof ded, &ded)))
        return Fail("the rendering plug-in refused EnableDriver");
    driverEnabled_ = true;
    for (ULONG i = 0; ded.pdrvfn && i < ded.c; ++i)
        for (const DRVFN &core : coreTable_)
            if (core.iFunc == ded.pdrvfn[i].iFunc && ded.pdrvfn[i].pfn) hooks_[core.iFunc] = ded.pdrvfn[i].pfn;

    // The plug-in keeps its own reference; ours goes when this call returns.
    ComPtr<IPrintOemDriverPS> services;
    services.attach(new CoreServices);
    HRESULT hr = plugin_->PublishDriverInterface(services.get());
    if (FAILED(hr)) return Fail("the rendering plug-in refused the core driver's interface");
    return true;
}

bool RenderSession::BuildDevmode(const Ppd &ppd, const std::map<std::string, std::string> &selection,
                                 const WString &deviceName, const std::vector<BYTE> &storedDevmode,
                                 const std::vector<std::pair<std::string, std::string>> &fields,
                                 const OemFieldSetter &setter)
{
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.pdriverobj = &devobj_;
    param.hPrinter = printer_;
    param.hModule = module_;
    if (FAILED(plugin_->DevMode(OEMDM_SIZE, &param)))
        return Fail("the rendering plug-in did not report its DEVMODE section size");
    DWORD oemSize = param.cbBufSize;
    if (oemSize < sizeof(OEM_DMEXTRAHEADER) || oemSize > kMaxOemSection - sizeof(CorePrivateDevmode))
        return Fail("the rendering plug-in reported a DEVMODE section of " + std::to_string(oemSize) + " bytes");
    devmode_.Allocate(oemSize);

    DEVMODEW *pub = devmode_.Public();
    CorePrivateDevmode *core = devmode_.Core();
    FillPublicDefaults(*pub, ppd, selection, deviceName);
    core->dwSignature = kCoreDevmodeSignature;
    core->dwPrivateSize = sizeof(CorePrivateDevmode);
    core->dwNupCount = 1;

    StoredDevmode stored;
    bool haveStored = SplitStoredDevmode(storedDevmode.data(), storedDevmode.size(), stored);
    if (haveStored) {
        // The stored settings stand, except what follows the PPD selection of this job.
        DEVMODEW fromPpd = *pub;
        *pub = stored.publicPart;
        std::memcpy(pub->dmDeviceName, fromPpd.dmDeviceName, sizeof pub->dmDeviceName);
        std::memcpy(pub->dmFormName, fromPpd.dmFormName, sizeof pub->dmFormName);
        pub->dmPaperSize = fromPpd.dmPaperSize;
        pub->dmDuplex = fromPpd.dmDuplex;
        pub->dmPrintQuality = fromPpd.dmPrintQuality;
        pub->dmYResolution = fromPpd.dmYResolution;
        pub->dmFields |= fromPpd.dmFields;
        core->bInstallMark = stored.corePart.bInstallMark;
        core->bPsOutputOption = stored.corePart.bPsOutputOption;
        core->bNupLayout = stored.corePart.bNupLayout;
        core->dwNupCount = stored.corePart.dwNupCount ? stored.corePart.dwNupCount : 1;
    }
    if (settings_.psOutputOption == kPsOutputEps) core->bPsOutputOption = kPsOutputEps;
    settings_.psOutputOption = core->bPsOutputOption;
    pub->dmDriverExtra = static_cast<WORD>(sizeof(CorePrivateDevmode) + oemSize);
    core->dwOemSize = oemSize;

    param.pPublicDMIn = pub;
    param.pPublicDMOut = pub;
    param.pOEMDMIn = nullptr;
    param.pOEMDMOut = devmode_.Oem();
    param.cbBufSize = oemSize;
    if (FAILED(plugin_->DevMode(OEMDM_DEFAULT, &param)))
        return Fail("the rendering plug-in could not write its DEVMODE defaults");

    // The job's record: the stored section, else the defaults, with the field overrides on top.
    std::vector<BYTE> input;
    if (haveStored && stored.oemPart.size() >= sizeof(OEM_DMEXTRAHEADER)) input = stored.oemPart;
    else input.assign(devmode_.Oem(), devmode_.Oem() + oemSize);
    if (input.size() < oemSize) input.resize(oemSize, 0);
    for (const auto &[field, value] : fields) {
        std::string message;
        if (!setter) return Fail("this core driver cannot set the field \"" + field + "\"");
        if (!setter(input.data(), static_cast<DWORD>(input.size()), field, value, message)) return Fail(message);
    }
    param.pOEMDMIn = input.data();
    if (FAILED(plugin_->DevMode(OEMDM_MERGE, &param)))
        return Fail("the rendering plug-in rejected the job's DEVMODE section");
    return true;
}

bool RenderSession::EnablePdev(const WString &printerName)
{
    devobj_.pPublicDM = devmode_.Public();
    devobj_.pOEMDM = devmode_.Size() > kCoreDevmodeSize ? devmode_.Oem() : nullptr;
    WString name = printerName;
    PDEVOEM pdev = nullptr;
    if (FAILED(plugin_->EnablePDEV(&devobj_, name.data(), 0, nullptr, 0, nullptr, 0, nullptr, &coreData_, &pdev)))
        return Fail("the rendering plug-in refused EnablePDEV");
    devobj_.pdevOEM = pdev;
    pdevEnabled_ = true;
    return true;
}

PFN RenderSession::Entry(ULONG index) const
{
    if (auto it = hooks_.find(index); it != hooks_.end()) return it->second;
    for (const DRVFN &f : coreTable_)
        if (f.iFunc == index) return f.pfn;
    return nullptr;
}

bool RenderSession::StartDoc(const WString &docName, DWORD jobId)
{
    WString name = docName;
    BOOL ok = FunctionCast<PFN_DrvStartDoc>(Entry(INDEX_DrvStartDoc))(&surface_, name.data(), jobId);
    if (!ok) return Fail("DrvStartDoc failed");
    if (!docStarted_) return Fail("the rendering plug-in's DrvStartDoc hook did not pass the call on");
    return FlushFull();
}

bool RenderSession::StartPage()
{
    if (!FunctionCast<PFN_DrvStartPage>(Entry(INDEX_DrvStartPage))(&surface_)) return Fail("DrvStartPage failed");
    if (!inPage_) return Fail("the rendering plug-in's DrvStartPage hook did not pass the call on");
    return FlushFull();
}

bool RenderSession::SendPage()
{
    DWORD before = pagesSent_;
    if (!FunctionCast<PFN_DrvSendPage>(Entry(INDEX_DrvSendPage))(&surface_)) return Fail("DrvSendPage failed");
    if (pagesSent_ == before) return Fail("the rendering plug-in's DrvSendPage hook did not pass the call on");
    return FlushFull();
}

bool RenderSession::EndDoc()
{
    if (!FunctionCast<PFN_DrvEndDoc>(Entry(INDEX_DrvEndDoc))(&surface_, 0)) return Fail("DrvEndDoc failed");
    if (docStarted_) return Fail("the rendering plug-in's DrvEndDoc hook did not pass the call on");
    return Flush();
}

bool RenderSession::Inject(DWORD index)
{
    DWORD result = ERROR_SUCCESS;
    inPlugin_ = true;
    HRESULT hr = plugin_->Command(&devobj_, index, nullptr, 0, &result);
    inPlugin_ = false;
    if (hr != S_OK && hr != E_NOTIMPL)
        return Fail("the rendering plug-in failed at injection point " + std::to_string(index) + " (error " +
                    std::to_string(result) + ")");
    return FlushFull();
}

bool RenderSession::Emit(const BYTE *data, size_t size)
{
    if (inPlugin_) {
        pending_.insert(pending_.end(), data, data + size);
        return true;
    }
    // What is pending is topped up to a whole block; whole blocks then go straight from the caller's bytes. The
    // blocks are the same as if everything had passed through the pending bytes.
    if (!pending_.empty()) {
        size_t room = pending_.size() < blockSize_ ? blockSize_ - pending_.size() : 0;
        size_t take = std::min(size, room);
        pending_.insert(pending_.end(), data, data + take);
        data += take;
        size -= take;
        if (!FlushFull()) return false;
    }
    while (pending_.empty() && size >= blockSize_) {
        if (!WriteBlock(data, blockSize_)) return false;
        data += blockSize_;
        size -= blockSize_;
    }
    pending_.insert(pending_.end(), data, data + size);
    return true;
}

bool RenderSession::WriteBlock(const BYTE *data, DWORD size)
{
    BYTE *block = const_cast<BYTE *>(data);
    if (plugin2_) {
        DWORD written = 0;
        if (FAILED(plugin2_->WritePrinter(&devobj_, block, size, &written)))
            return Fail("the rendering plug-in's WritePrinter failed");
        return true;
    }
    if (direct_) return direct_(data, size) || Fail("the job could not be written");
    DWORD written = 0;
    if (!::WritePrinter(printer_, block, size, &written) || written != size)
        return Fail("the spooler did not take the job's data (error " + std::to_string(GetLastError()) + ")");
    return true;
}

bool RenderSession::FlushFull()
{
    size_t sent = 0;
    bool ok = true;
    while (ok && pending_.size() - sent >= blockSize_) {
        ok = WriteBlock(pending_.data() + sent, blockSize_);
        sent += blockSize_;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(sent));
    return ok;
}

bool RenderSession::Flush()
{
    if (!FlushFull()) return false;
    if (pending_.empty()) return true;
    std::vector<BYTE> last;
    last.swap(pending_);
    return WriteBlock(last.data(), static_cast<DWORD>(last.size()));
}

} // namespace zep::host
