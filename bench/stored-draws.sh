# Sourced by the benchmark scripts. StoreDraws DB TABLE COUNT: fills a draw table with COUNT draws of
# five different numbers 1..11, periods from 2020000001, from a fixed linear congruential generator,
# in one transaction.
StoreDraws() {
    local db=$1 table=$2 count=$3
    awk -v count="$count" -v table="$table" 'BEGIN {
        seed = 20261208
        print "begin;"
        for (i = 0; i < count; i++) {
            for (k = 1; k <= 11; k++) pool[k] = k
            row = ""
            for (k = 1; k <= 5; k++) {
                seed = (seed * 1103515245 + 12345) % 2147483648
                pick = k + int(seed / 2147483648 * (12 - k))
                t = pool[k]; pool[k] = pool[pick]; pool[pick] = t
                row = row sprintf(",'\''%02d'\''", pool[k])
            }
            printf "insert into \"%s\" values ('\''%d'\''%s);\n", table, 2020000001 + i, row
        }
        print "commit;"
    }' | sqlite3 "$db"
}
