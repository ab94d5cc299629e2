# Turns the JSON of tessal_bench (medians when run with repetitions) into the
# Markdown table of docs/performance.md. Google Benchmark writes one field per
# line, which is all this reads.
function field(line) {
    sub(/^[^:]*: */, "", line)
    sub(/,$/, "", line)
    gsub(/"/, "", line)
    return line
}
function shown(value, unit,    ms) {
    ms = value
    if (unit == "ns") ms = value / 1e6
    else if (unit == "us") ms = value / 1e3
    else if (unit == "s") ms = value * 1e3
    if (ms >= 1) return sprintf("%.1f ms", ms)
    return sprintf("%.0f µs", ms * 1e3)
}
function milliseconds(value, unit) {
    if (unit == "ns") return value / 1e6
    if (unit == "us") return value / 1e3
    if (unit == "s") return value * 1e3
    return value + 0
}
BEGIN {
    target["game/frame"] = "ratio ≤ 3"
    target["game/frame_fade_128"] = "ratio ≤ 4"
    target["menu/frame"] = "ratio ≤ 3"
    target["menu/frame_fade_128"] = "ratio ≤ 4"
    target["game/board_change"] = "< 40 ms"
    target["startup/first_logo_frame"] = "< 200 ms"
    limit["game/frame"] = 3; limit["game/frame_fade_128"] = 4
    limit["menu/frame"] = 3; limit["menu/frame_fade_128"] = 4
    limitMs["game/board_change"] = 40; limitMs["startup/first_logo_frame"] = 200
    print "| benchmark | time | ratio | target | met |"
    print "|---|---:|---:|---|---|"
}
/^ *\{/ { name = ""; aggregate = ""; runType = ""; real = ""; cpu = ""; unit = ""; ratio = "" }
/"run_name":/ { name = field($0) }
/"run_type":/ { runType = field($0) }
/"aggregate_name":/ { aggregate = field($0) }
/"real_time":/ { real = field($0) }
/"cpu_time":/ { cpu = field($0) }
/"time_unit":/ { unit = field($0) }
/"ratio":/ { ratio = field($0) }
/^ *\}/ {
    if (name == "" || (runType == "aggregate" && aggregate != "median"))
        next
    base = name
    clock = "cpu"
    if (sub(/\/real_time$/, "", base) || sub(/\/manual_time$/, "", base))
        clock = "wall"
    value = (clock == "wall" ? real : cpu) + 0
    met = ""
    if (base in limit) met = (ratio + 0 <= limit[base]) ? "yes" : "no"
    if (base in limitMs) met = (milliseconds(value, unit) < limitMs[base]) ? "yes" : "no"
    printf "| %s | %s (%s) | %.2f | %s | %s |\n", base, shown(value, unit), clock, ratio, \
        (base in target) ? target[base] : "", met
    name = ""
}
