# Timing helpers shared by the benchmark scripts (sourced, not run): one run
# of a command after its preparation, two commands in alternating rounds,
# and the rows of a figures table. The caller sets $runs.
now() { date +%s.%N; }
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# Seconds of one run of a command (a string), after its preparation (not
# measured).
timed() {
    eval "$1"
    local t0 t1
    t0=$(now)
    sh -c "$2" >/dev/null 2>&1
    t1=$(now)
    echo "$t1 - $t0" | bc -l
}
# Two commands in alternating rounds, the order swapped each round, so that
# both meet the same state of the machine; prints both medians.
paired() {
    local a=() b=()
    for round in $(seq "$runs"); do
        if [ $((round % 2)) -eq 1 ]; then
            a+=("$(timed "$1" "$2")"); b+=("$(timed "$3" "$4")")
        else
            b+=("$(timed "$3" "$4")"); a+=("$(timed "$1" "$2")")
        fi
    done
    echo "$(median "${a[@]}") $(median "${b[@]}")"
}

results=()
row() { results+=("$(printf '| %s | %s | %s | %s |' "$1" "$2" "$3" "$4")"); echo "$1: $2 (target $3: $4)"; }
ratio() { echo "scale=3; $1 / $2" | bc -l; }
meets() { if [ "$(echo "$1 <= $2" | bc -l)" = 1 ]; then echo yes; else echo NO; fi; }
