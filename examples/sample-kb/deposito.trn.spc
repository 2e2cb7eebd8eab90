spec_i([ trn, 'Deposito', 'Transaccion Deposito' ]).
level_i(Deposito,1,'Deposito',[DepId]).
table_i(Deposito,'Deposito',[DepId,DepNom],[DepId]).
attri_i(DepId,'Deposito',numeric(8),'DepId de Deposito').
att_prop_i(DepId,nullable,no).
attri_i(DepNom,'Deposito',numeric(8),'DepNom de Deposito').
att_prop_i(DepNom,nullable,no).
tbl_att_prop_i(Deposito,DepId,autonumber,yes).
tbl_to_delete_i(Deposito,'Borrar si no hay referencias').
rule_i(1,rule([error('Deposito'),if(isnull(DepNom))]),'Dato requerido').
rule_i(0,prop(DepNom,readonly,yes)).
rule_i(0,datastore(Default,Deposito)).
subview_i(1,'Principal').
map_i(1,0,0).
std_color_i(1,black).
a_alias_i(DepId,Codigo).
v_i(&Mensaje,char(40),'Mensaje de la pantalla').
b_line_i(1,cmd,'Confirmar').
b_line_i(2,label,'Cancelar').
