set Text35 100
set Text36 200
set Text37 50
set Text38 1.5
set Text41 1.6
set Text40 2
set Text5 9
set Text3 -10
set Text4 45.3
click Command6
type Text2 x
set Text31 &H1F
set Text12 20
set Text6 30
set Text8 1000
set Text10 60
click Command4
set Text11 10
click Command3
set Text39 1e200
