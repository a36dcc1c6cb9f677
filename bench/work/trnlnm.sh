# $1 reads of a variable: the peer of a logical name translation.
bench_name=value
n=$1; i=0
while [ $i -lt $n ]; do x=$bench_name; i=$((i + 1)); done
echo $x
