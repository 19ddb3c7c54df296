#!/usr/bin/env bash
# The module's dynamic symbol table holds the loader's three entry points and
# the exported plugin base class, and nothing else of the module's own.
set -euo pipefail
module=$1

defined=$(nm -D --defined-only "$module" | awk '{print $3}')
status=0
for required in exports getPlugin deleteMe; do
    if ! grep -qx "$required" <<<"$defined"; then
        echo "missing export: $required"
        status=1
    fi
done
if ! grep -q '^_ZN9BakkesMod6Plugin15BakkesModPlugin6onLoadEv$' <<<"$defined"; then
    echo "missing export: BakkesMod::Plugin::BakkesModPlugin::onLoad()"
    status=1
fi
# Allowed: the three entry points and anything of BakkesMod::Plugin::BakkesModPlugin
# (members, vtable, typeinfo).
unexpected=$(grep -vxE 'exports|getPlugin|deleteMe|_ZN9BakkesMod6Plugin15BakkesModPlugin.*|_Z(TV|TI|TS)N9BakkesMod6Plugin15BakkesModPluginE' <<<"$defined" || true)
if [ -n "$unexpected" ]; then
    echo "unexpected exports:"
    c++filt <<<"$unexpected"
    status=1
fi
# A unique (STB_GNU_UNIQUE) symbol would pin the module in memory: dlclose
# could never unload it.
if readelf -Ws --dyn-syms "$module" | grep -q UNIQUE; then
    echo "module has unique symbols and can never be unloaded"
    status=1
fi
exit $status
