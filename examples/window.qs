# The window filled with a worked example: a right-hand curve with 60 m
# transitions, its straights from coordinates, a station, a chainage, and
# the field tools (lines "tool NAME TEXT" are for quenlor-screenshot only).
set Text7 JD12
set Text8 639.363
set Text6 40
set Text9 300
set Text10 60
set Text42 60
set Text13 1000
set Text14 2000
set Text17 30
set Text15 1342.02
set Text16 2939.693
set Text35 900
set Text36 1900
set Text37 152.36
set Text38 1.52
set Text41 1.6
set Text40 -0.43
set Text39 850
set Text1 2100
set Text33 1
set Text31 0.25
set Text26 600
tool stakeChainage 600
tool stakeOffset -7.5
tool pointX 1030
tool pointY 2085
tool tableStart 480
tool tableEnd 800
tool tableInterval 20
tool tableOffset 7.5
