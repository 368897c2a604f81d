#!/usr/bin/env bash
# Checks that each plug-in module carries only its own side's code: no UI-side code in ZepPS, no rendering-side code
# in ZepUI. It looks for marker symbols (demangled names, matched from their start) in the module's symbol table,
# one or two per room of each side:
#   UI side         ui/plugin (OemUiPlugin), ui/state (g_ui, which every page reaches), ui/sheets, ui/slots,
#                   ui/dlgutil, ui/sheetdata,
#                   common/devmode_ui (the UI side of the record operations), common/crypto (CCiperSet)
#   rendering side  render/plugin (OemRenderPlugin), render/state (g_render), render/dispatcher, render/gate,
#                   render/secure, render/jobtype,
#                   common/devmode_render (the rendering side of the record operations)
# Every marker must also be found in its own module, so a module without a symbol table (stripped) or a marker
# whose name changed fails instead of passing unseen.
# Usage: check-sides.sh MODULE...   (ZepPS.so, ZepUI.so, ZepPS.dll, ZepUI.dll; the side follows the name)
set -euo pipefail

ui_markers=(
    '^zep::OemUiPlugin::'
    '^zep::g_ui$'
    '^zep::RunDocumentPropertySheets\('
    '^zep::ApplyFeatureSlots\('
    '^zep::UiDevMode\('
    '^zep::UiDevmode(Default|Convert|Merge)\('
    '^zep::CCiperSet::'
    '^zep::FilterEdit\('
    '^zep::SheetDevmode\('
)
render_markers=(
    '^zep::OemRenderPlugin::'
    '^zep::g_render$'
    '^zep::DispatchInjection\('
    '^zep::GateWritePrinter\('
    '^zep::RenderDevMode\('
    '^zep::RenderDevmode(Default|Convert|Merge)\('
    '^zep::PjlJobName\('
    '^zep::EffectiveJobType\('
)

# Demangled names of every symbol the module defines, local ones included.
symbols() {
    local nm=nm
    case "$1" in *.dll) nm=x86_64-w64-mingw32-nm ;; esac
    "$nm" -C --defined-only "$1" 2>/dev/null | sed -E 's/^[0-9a-fA-F]* *[A-Za-z] //' || true
}

# The markers given that match none of $names, and those that match one.
missing() {
    local m
    for m in "$@"; do grep -Eq -- "$m" <<<"$names" || echo "$m"; done
}
found() {
    local m
    for m in "$@"; do grep -Eq -- "$m" <<<"$names" && echo "$m"; done
    return 0
}

status=0
for module in "$@"; do
    case "$(basename "$module")" in
    ZepPS.*) own=("${render_markers[@]}"); other=("${ui_markers[@]}"); side=rendering; otherside=UI ;;
    ZepUI.*) own=("${ui_markers[@]}"); other=("${render_markers[@]}"); side=UI; otherside=rendering ;;
    *) echo "check-sides: $module is neither ZepPS nor ZepUI" >&2; status=1; continue ;;
    esac
    names=$(symbols "$module")
    absent=$(missing "${own[@]}")
    wrong=$(found "${other[@]}")
    if [ -n "$absent" ]; then
        echo "check-sides: $module lacks its own $side markers (stripped, or a marker's name changed):" $absent >&2
        status=1
    fi
    if [ -n "$wrong" ]; then
        echo "check-sides: $module carries $otherside-side code:" $wrong >&2
        status=1
    fi
    [ -z "$absent$wrong" ] && echo "check-sides: $module ok"
done
exit $status
