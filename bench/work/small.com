$ count == count + 1
