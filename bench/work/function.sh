# $1 calls of a one-line shell function (peer of GOSUB and CALL).
n=$1; i=0; calls=0
add() { calls=$((calls + 1)); }
while [ $i -lt $n ]; do add; i=$((i + 1)); done
echo $calls
