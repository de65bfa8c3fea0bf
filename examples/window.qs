# The window filled with a worked example at realistic survey coordinates: a
# right-hand curve of R 300 with 60 m transitions at JD12 (K1+234.567), its
# straights from the coordinates, a station with a backsight, the point at
# K1+200 and the field tools (lines "tool NAME TEXT" are for
# quenlor-screenshot only).
set Text7 JD12
set Text8 1234.567
set Text6 40
set Text9 300
set Text10 60
set Text42 60
set Text13 3456789.123
set Text14 512345.678
set Text17 30.152
set Text15 3457059.382
set Text16 513098.645
set Text35 3456700
set Text36 512400
set Text37 152.36
set Text38 1.52
set Text41 1.6
set Text40 -0.43
set Text39 3456950
set Text1 512250
set Text33 1
set Text31 0.25
set Text26 1200
tool stakeChainage K1+200
tool stakeOffset -7.5
tool pointX 3456780
tool pointY 512400
tool tableStart K1+080
tool tableEnd K1+400
tool tableInterval 20
tool tableOffset 7.5
