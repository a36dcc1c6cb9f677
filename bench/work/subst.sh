# $1 times an assignment with 20 variable expansions.
a=a b=b c=c d=d e=e f=f g=g h=h i=i j=j k=k l=l m=m n=n o=o p=p q=q r=r s=s t=t
limit=$1; count=0
while [ $count -lt $limit ]; do
    x="$a$b$c$d$e$f$g$h$i$j$k$l$m$n$o$p$q$r$s$t"
    count=$((count + 1))
done
echo $count $x
