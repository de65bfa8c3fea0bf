# The guides' picture of a whole route (after examples/window.qs): the example
# route open, JD2 in the boxes, a station near the long chain break at K2+500,
# and the field tools on the route, with design elevations and cross falls.
route examples/route.csv
jd JD2
set Text35 3457880
set Text36 514520
set Text37 133.5
set Text38 1.5
set Text39 3458000
set Text1 514560
set Text41 1.6
set Text40 0
set Text31 -0.35
set Text26 2460
tool stakeChainage K2+490(2)
tool stakeOffset 7.5
tool stakeGround 131.9
tool pointX 3457930
tool pointY 514470
tool tableStart K2+400
tool tableEnd K2+600
tool tableInterval 20
tool tableOffset 7.5
tool tableFallLeft -2
tool tableFallRight -2
