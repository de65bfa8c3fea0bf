# A right-hand curve at JD chainage K1+000: deflection 30 deg, R = 500,
# transitions of 60 m on both sides. Typed key by key, as in the window.
type Text6 30
type Text8 1000
type Text9 500
type Text10 60
type Text42 60
print Text11
print Text12
print Text34
print Text21
print Text22
print Text23
print Text24
print Text25
# The radius for a wanted tangent length of 150 m.
set Text11 150
click Command3
print Text9
print Text11
print Text25
