# $1 times sourcing small.sh (one assignment).
n=$1; i=0; count=0
while [ $i -lt $n ]; do . ./small.sh; i=$((i + 1)); done
echo $count
