spec_i([ proc, 'DepurarLog', 'Procedimiento DepurarLog' ]).
v_i(&Var0,numeric(10,2),'Variable 0').
v_i(&Var1,numeric(10,2),'Variable 1').
v_i(&Var2,numeric(10,2),'Variable 2').
v_i(&Var3,numeric(10,2),'Variable 3').
v_i(&Var4,numeric(10,2),'Variable 4').
v_i(&Var5,numeric(10,2),'Variable 5').
v_i(&Var6,numeric(10,2),'Variable 6').
b_line_i(1,cmd,'for each Producto where PrdStk < 0').
b_line_i(2,cmd,'for each Producto where PrdStk < 1').
b_line_i(3,cmd,'for each Producto where PrdStk < 2').
b_line_i(4,cmd,'for each Producto where PrdStk < 3').
b_line_i(5,cmd,'for each Producto where PrdStk < 4').
b_line_i(6,cmd,'for each Producto where PrdStk < 5').
print_i(1,title([]),'Listado de control').
calling_main_i(no).
rule_i(1,rule([parm(&Var0)]),'Parametros').
