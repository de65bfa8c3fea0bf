# The numbered areas of the guides' picture of the window (quenlor-screenshot:
# "mark N WIDGET..." frames those widgets together under the number N; a
# number may stand at more than one frame).
mark 1 Text35 Text36 Text37 Text38 Text39 Text1 Text41 Text40 Text2
mark 2 Text3 Text4 Text5
mark 3 Text7 Text8 Text6 Command2 Text9 Text10
mark 3 Text42
mark 4 Command3 Text11 Command4 Text12 Text34
mark 5 Text13 Text14 Text15 Text16 Text17 Text18
mark 6 Text19 Text20
mark 7 Text21 Text22 Text23 Text24 Text25
mark 8 Command5 Text26 Text33
mark 9 Text27 Text28 Text29 Text30
mark 10 Text31 Text32
mark 11 Text44 Text45
mark 12 Command1(0) Command6
mark 13 notice source
mark 14 stakeChainage stakeOffset stakeX stakeY stakeAzimuth stakeDistance stakeGround stakeDesign stakeCutFill
mark 15 pointX pointY foundK foundChainage foundOffset
mark 16 tableStart tableEnd tableInterval tableOffset tableFallLeft tableFallRight wholeStations fullPrecision copyTable tableNote
mark 17 stakeTable
mark 18 planView
