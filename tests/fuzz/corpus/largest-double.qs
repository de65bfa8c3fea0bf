set Text37 5
set Text38 1.7976931348623157e308
set Text40 -1e308
set Text39 1e154
set Text1 1e154
