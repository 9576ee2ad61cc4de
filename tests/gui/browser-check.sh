#!/usr/bin/env bash
# Opens a saved HTML report in headless Chromium: renders it to a PNG and checks in
# the page's DOM that error, success and information texts carry their colours. With
# an EXPECT file, each of its lines must also be in the page as text, verbatim, and
# no element may have come from it (texts from instruments must not inject markup).
#   tests/gui/browser-check.sh REPORT.html OUTPUT_DIR [EXPECT]
set -euo pipefail

report=$1
out=$2
expect=${3:-}
chromium=${BS_CHROMIUM:-/usr/bin/chromium}

if [[ ! -s $report ]]; then
  echo "browser check: no report at $report" >&2
  exit 1
fi
mkdir -p "$out"
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT

browse() {
  timeout 120 "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --hide-scrollbars "$@" 2>>"$out/chromium.log"
}

name=$(basename "$report" .html)
cp "$report" "$out/$name.html"
browse --window-size=1024,1400 --screenshot="$out/$name.png" "file://$(realpath "$out/$name.html")"
if [[ ! -s $out/$name.png ]]; then
  echo "browser check: Chromium wrote no screenshot of $report" >&2
  exit 1
fi

# The report's body is never closed, so a script appended to a copy runs inside it,
# after every element of the report, and writes what the browser computed.
probe=$out/$name.probe.html
cp "$report" "$probe"
# The expected texts go in as a textarea's content, escaped, so the browser hands
# them back exactly; the probe takes the textarea out before it reads the page.
{
  printf '<textarea id="bs-expect">'
  if [[ -n $expect ]]; then sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' "$expect"; fi
  printf '</textarea>\n'
} >>"$probe"
cat >>"$probe" <<'EOF'
<script>
var lines = [];
var box = document.getElementById('bs-expect');
var wanted = box.value.split('\n');
box.parentNode.removeChild(box);
var page = document.body.textContent;
for (var w = 0; w < wanted.length; w++) {
  if (wanted[w] !== '') lines.push((page.indexOf(wanted[w]) >= 0 ? 'HAS ' : 'MISSING ') + (w + 1));
}
lines.push('ELEMENTS ' + document.querySelectorAll('script').length + ' ' +
           document.querySelectorAll('scope, answers').length);
var fonts = document.querySelectorAll('font[color]');
for (var i = 0; i < fonts.length; i++) {
  var text = fonts[i].textContent.replace(/\s+/g, ' ').trim();
  lines.push('FONT ' + fonts[i].getAttribute('color').toLowerCase() + ' ' +
             getComputedStyle(fonts[i]).color.replace(/ /g, '') + ' ' + text);
}
var pre = document.createElement('pre');
pre.id = 'bs-probe';
pre.textContent = '\n' + lines.join('\n') + '\nEND\n';
document.body.appendChild(pre);
</script>
EOF
browse --dump-dom "file://$(realpath "$probe")" >"$out/$name.dom.html"
section=$(sed -n '/<pre id="bs-probe">/,/^END/p' "$out/$name.dom.html")
probed=$(grep '^FONT ' <<<"$section" || true)
if [[ -z $probed ]]; then
  echo "browser check: the page's DOM has no coloured text (see $out/$name.dom.html)" >&2
  exit 1
fi

failed=0
declare -A expected=([#ff0000]='rgb(255,0,0)' [#009000]='rgb(0,144,0)' [#900090]='rgb(144,0,144)')
declare -A label=([#ff0000]=error [#009000]=success [#900090]=information)
for colour in '#ff0000' '#009000' '#900090'; do
  count=$(awk -v c="$colour" '$2 == c' <<<"$probed" | wc -l)
  wrong=$(awk -v c="$colour" -v e="${expected[$colour]}" '$2 == c && $3 != e' <<<"$probed" | wc -l)
  texts=$(awk -v c="$colour" '$2 == c && NF > 3' <<<"$probed" | wc -l)
  echo "browser check: ${label[$colour]} ($colour): $count elements, $texts with text, $wrong in another colour"
  if [[ $count -eq 0 || $texts -eq 0 || $wrong -ne 0 ]]; then
    failed=1
  fi
done
others=$(awk '$2 != "#ff0000" && $2 != "#009000" && $2 != "#900090"' <<<"$probed" | wc -l)
if [[ $others -ne 0 ]]; then
  echo "browser check: $others elements in colours the report does not use" >&2
  failed=1
fi
if [[ -n $expect ]]; then
  missing=$(grep -c '^MISSING ' <<<"$section" || true)
  found=$(grep -c '^HAS ' <<<"$section" || true)
  echo "browser check: $found of the expected texts shown verbatim, $missing missing"
  [[ $missing -eq 0 && $found -gt 0 ]] || failed=1
  # The probe itself is the page's only script; no element came from an answer.
  if ! grep -qx 'ELEMENTS 1 0' <<<"$section"; then
    echo "browser check: elements injected by instrument texts: $(grep '^ELEMENTS' <<<"$section")" >&2
    failed=1
  fi
fi
if [[ $failed -ne 0 ]]; then
  echo "browser check: FAILED for $report (DOM in $out/$name.dom.html)" >&2
  exit 1
fi
echo "browser check: $report renders with its colours; screenshot $out/$name.png"
