10 LET a=1.5: DIM b(3): DIM c$(2,4)
20 FOR i=1 TO 3: LET b(i)=i*a: NEXT i
30 DEF FN f(x)=x*x: PRINT FN f(4);" ";b(2)
9999 STOP
