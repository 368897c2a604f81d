// PPD feature keywords and option names the plug-ins read from or write to the core driver (ASCII).
#pragma once

namespace zep::kw {

// Features read by both plug-ins.
inline constexpr char kJobType[] = "ZPJob_Type";
inline constexpr char kJobLimit[] = "ZPJobLimit";
inline constexpr char kHdd[] = "ZPHDD";
inline constexpr char kHddSpool[] = "ZPHDDSpool";
inline constexpr char kDrumClean[] = "ZPDrumClean";
inline constexpr char kControl[] = "ZPControl";
inline constexpr char kColorRenderStyle[] = "ZPColorRenderStyle";
inline constexpr char kOverlay[] = "ZPOverlay";
inline constexpr char kOverPrint[] = "ZPOverPrint";
inline constexpr char kFinisher[] = "ZPFinisher";
inline constexpr char kPunchUnit[] = "ZPPunchUnit";
inline constexpr char kOptionDuplex[] = "ZPOptionDuplex";
inline constexpr char kOptionMpf[] = "ZPOptionMPF";
inline constexpr char kOptionTray[] = "ZPOptionTray";
inline constexpr char kInstalledMemory[] = "InstalledMemory";
inline constexpr char kPageSize[] = "PageSize";
inline constexpr char kDuplex[] = "Duplex";

// Features the UI plug-in mirrors in its feature slots.
inline constexpr char kFitToMpt[] = "ZPFITTOMPT";
inline constexpr char kFitToTray1[] = "ZPFITTOTRAY1";
inline constexpr char kFitToTray2[] = "ZPFITTOTRAY2";
inline constexpr char kFitToTray3[] = "ZPFITTOTRAY3";
inline constexpr char kFitToTray4[] = "ZPFITTOTRAY4";
inline constexpr char kFitToTray5[] = "ZPFITTOTRAY5";
inline constexpr char kSeparationOrder[] = "ZPSeparationorder";
inline constexpr char kProcessMode[] = "ZPProcessMode";
inline constexpr char kBlackSubstitution[] = "ZPBlackSubstitution";
inline constexpr char kAlwaysPrnHt[] = "ZPAlwaysPrnHT";
inline constexpr char kColorRenderDict[] = "ZPColorRenderDict";
inline constexpr char kTargetColor[] = "ZPTargetColor";
inline constexpr char kTone[] = "ZPTone";
inline constexpr char kHalftoneMode[] = "ZPHalftoneMode";
inline constexpr char kOutputMode[] = "ZPOutputMode";
inline constexpr char kOutputModeBlack[] = "ZPOutputModeBlack";
inline constexpr char kCollate[] = "ZPCollate";
inline constexpr char kOutputBin[] = "OutputBin";
inline constexpr char kStaple[] = "ZPStaple";
inline constexpr char kPunch[] = "ZPPunch";
inline constexpr char kBindPosition[] = "ZPBindPosition";
inline constexpr char kColorIcms[] = "ZPColorICMS";
inline constexpr char kCmykProfile[] = "ZPCMYKProfile";
inline constexpr char kRgbProfile[] = "ZPRGBProfile";
inline constexpr char kCmykInputProfile[] = "ZPCMYKInputProfile";
inline constexpr char kCmykLinkProfile[] = "ZPCMYKLinkProfile";
inline constexpr char kOutProfile[] = "ZPOutProfile";
inline constexpr char kSimProfile[] = "ZPSimProfile";
inline constexpr char kPureBlack[] = "ZPPureBlack";
inline constexpr char kPreserveBlack[] = "ZPPreserveBlack";
inline constexpr char kColorMatch[] = "ZPColorMatch";
inline constexpr char kResolution[] = "ZPResolution";
inline constexpr char kImageSmoothing[] = "ZPImageSmoothing";
inline constexpr char kBlackSubGra[] = "ZPBlackSubGra";
inline constexpr char kScreenObo[] = "ZPScreenObo";
inline constexpr char kHairLine[] = "ZPHairLine";
inline constexpr char kTrapping[] = "ZPTrapping";
inline constexpr char kMediaType[] = "ZPMediaType";
inline constexpr char kManualFeed[] = "ZPManualFeed";
inline constexpr char kTraySwitch[] = "TraySwitch";
inline constexpr char kPageSizeCheck[] = "ZPPageSizeCheck";
inline constexpr char kMptPageSizeCheck[] = "ZPMPTPageSizeCheck";
inline constexpr char kEnvRotate[] = "ZPEnvRotate";

// Option names.
inline constexpr char kTrue[] = "True";
inline constexpr char kFalse[] = "False";
inline constexpr char kOn[] = "ON";
inline constexpr char kOff[] = "OFF";
inline constexpr char kJobNormal[] = "Normal";
inline constexpr char kJobSecure[] = "Secure";
inline constexpr char kJobSpool[] = "Spool";
inline constexpr char kJobSecureChip[] = "Secure_Chip";
inline constexpr char kDuplexNone[] = "None";
inline constexpr char kPunchType1[] = "Type1";
inline constexpr char kPunchType2[] = "Type2";
inline constexpr char kPunchType3[] = "Type3";
inline constexpr char kPunchType4[] = "Type4";

} // namespace zep::kw
