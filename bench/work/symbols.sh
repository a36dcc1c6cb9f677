# Defines $1 variables s1, s2, ...
n=$1; i=0
while [ $i -lt $n ]; do i=$((i + 1)); eval s$i=$i; done
eval echo \$s1 \$s$n
