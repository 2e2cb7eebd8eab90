b_line_i(1,cmd,'x')
b_line_i(2,cmd,'y')
