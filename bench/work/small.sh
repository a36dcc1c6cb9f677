count=$((count + 1))
