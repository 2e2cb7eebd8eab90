spec_i([ trn, 'Empleado', 'Transaccion Empleado' ]).
level_i(Empleado,1,'Empleado',[EmpId]).
table_i(Empleado,'Empleado',[EmpId,EmpNom,EmpCar,EmpSue,EmpIng],[EmpId]).
attri_i(EmpId,'Empleado',numeric(8),'EmpId de Empleado').
att_prop_i(EmpId,nullable,no).
attri_i(EmpNom,'Empleado',numeric(8),'EmpNom de Empleado').
att_prop_i(EmpNom,nullable,no).
attri_i(EmpCar,'Empleado',numeric(8),'EmpCar de Empleado').
att_prop_i(EmpCar,nullable,no).
attri_i(EmpSue,'Empleado',numeric(8),'EmpSue de Empleado').
att_prop_i(EmpSue,nullable,no).
attri_i(EmpIng,'Empleado',numeric(8),'EmpIng de Empleado').
att_prop_i(EmpIng,nullable,no).
tbl_att_prop_i(Empleado,EmpId,autonumber,yes).
tbl_to_delete_i(Empleado,'Borrar si no hay referencias').
rule_i(1,rule([error('Empleado'),if(isnull(EmpNom))]),'Dato requerido').
rule_i(0,prop(EmpIng,readonly,yes)).
rule_i(0,datastore(Default,Empleado)).
subview_i(1,'Principal').
map_i(1,0,0).
std_color_i(1,black).
a_alias_i(EmpId,Codigo).
v_i(&Mensaje,char(40),'Mensaje de la pantalla').
b_line_i(1,cmd,'Confirmar').
b_line_i(2,label,'Cancelar').
