# Counting loop: $1 iterations.
n=$1; i=0
while [ $i -lt $n ]; do i=$((i + 1)); done
echo $i
