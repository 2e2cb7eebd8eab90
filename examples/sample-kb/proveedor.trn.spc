spec_i([ trn, 'Proveedor', 'Transaccion Proveedor' ]).
level_i(Proveedor,1,'Proveedor',[PrvId]).
table_i(Proveedor,'Proveedor',[PrvId,PrvNom,PrvRut],[PrvId]).
attri_i(PrvId,'Proveedor',numeric(8),'PrvId de Proveedor').
att_prop_i(PrvId,nullable,no).
attri_i(PrvNom,'Proveedor',numeric(8),'PrvNom de Proveedor').
att_prop_i(PrvNom,nullable,no).
attri_i(PrvRut,'Proveedor',numeric(8),'PrvRut de Proveedor').
att_prop_i(PrvRut,nullable,no).
tbl_att_prop_i(Proveedor,PrvId,autonumber,yes).
tbl_to_delete_i(Proveedor,'Borrar si no hay referencias').
rule_i(1,rule([error('Proveedor'),if(isnull(PrvNom))]),'Dato requerido').
rule_i(0,prop(PrvRut,readonly,yes)).
rule_i(0,datastore(Default,Proveedor)).
subview_i(1,'Principal').
map_i(1,0,0).
std_color_i(1,black).
a_alias_i(PrvId,Codigo).
v_i(&Mensaje,char(40),'Mensaje de la pantalla').
b_line_i(1,cmd,'Confirmar').
b_line_i(2,label,'Cancelar').
