spec_i([ proc, 'ActualizarStock', 'Procedimiento ActualizarStock' ]).
v_i(&Var0,numeric(10,2),'Variable 0').
v_i(&Var1,numeric(10,2),'Variable 1').
v_i(&Var2,numeric(10,2),'Variable 2').
v_i(&Var3,numeric(10,2),'Variable 3').
v_i(&Var4,numeric(10,2),'Variable 4').
b_line_i(1,cmd,'for each Producto where PrdStk < 0').
b_line_i(2,cmd,'for each Producto where PrdStk < 1').
b_line_i(3,cmd,'for each Producto where PrdStk < 2').
b_line_i(4,cmd,'for each Producto where PrdStk < 3').
b_line_i(5,cmd,'for each Producto where PrdStk < 4').
b_line_i(6,cmd,'for each Producto where PrdStk < 5').
b_line_i(7,cmd,'for each Producto where PrdStk < 6').
b_line_i(8,cmd,'for each Producto where PrdStk < 7').
b_line_i(9,cmd,'for each Producto where PrdStk < 8').
b_line_i(10,cmd,'for each Producto where PrdStk < 9').
b_line_i(11,cmd,'for each Producto where PrdStk < 10').
b_line_i(12,cmd,'for each Producto where PrdStk < 11').
b_line_i(13,cmd,'for each Producto where PrdStk < 12').
b_line_i(14,cmd,'for each Producto where PrdStk < 13').
print_i(1,title([]),'Listado de control').
calling_main_i(no).
rule_i(1,rule([parm(&Var0)]),'Parametros').
