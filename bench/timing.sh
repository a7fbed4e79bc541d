# Sourced by the benchmark scripts: each timed run of a command adds its wall seconds and peak
# resident memory to $dir/NAME.times; the median and the peak are read back from there.
# The command's output goes to $dir/NAME.log, or where $output says (output=/dev/null timed ...).
timed() {  # timed NAME COMMAND...: runs it, adds "seconds kilobytes" to $dir/NAME.times
    local name=$1
    shift
    /usr/bin/time -o "$dir/$name.time" -f "%e %M" "$@" > "${output:-$dir/$name.log}" 2>&1 ||
        { echo "failed: $*" >&2; cat "$dir/$name.log" >&2; exit 1; }
    cat "$dir/$name.time" >> "$dir/$name.times"
}
seconds() { cut -d' ' -f1 "$dir/$1.times" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
kilobytes() { cut -d' ' -f2 "$dir/$1.times" | sort -n | tail -n 1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
