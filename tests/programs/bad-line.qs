set Text9 500
print Text9
set Text43 1
print Text9
