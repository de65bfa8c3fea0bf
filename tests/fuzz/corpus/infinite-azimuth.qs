set Text17 1e999
stake 1 1
locate 5 5
table 0 10 1 1
