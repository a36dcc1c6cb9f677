# String building: $1 appends of one character, starting again at 999.
n=$1; i=0; s=
while [ $i -lt $n ]; do
    i=$((i + 1)); s="${s}x"
    if [ ${#s} -ge 999 ]; then s=; fi
done
echo $i ${#s}
