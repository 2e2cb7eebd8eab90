spec_i([ trn, 'Cliente', 'Transaccion Cliente' ]).
level_i(Cliente,1,'Cliente',[CliId]).
level_i(CliContacto,2,'CliContacto',[CliId]).
table_i(Cliente,'Cliente',[CliId,CliNom,CliDir,CliTel],[CliId]).
attri_i(CliId,'Cliente',numeric(8),'CliId de Cliente').
att_prop_i(CliId,nullable,no).
attri_i(CliNom,'Cliente',numeric(8),'CliNom de Cliente').
att_prop_i(CliNom,nullable,no).
attri_i(CliDir,'Cliente',numeric(8),'CliDir de Cliente').
att_prop_i(CliDir,nullable,no).
attri_i(CliTel,'Cliente',numeric(8),'CliTel de Cliente').
att_prop_i(CliTel,nullable,no).
tbl_att_prop_i(Cliente,CliId,autonumber,yes).
table_i(CliContacto,'CliContacto',[CliId,CntId,CntNom],[CliId]).
attri_i(CliId,'CliContacto',numeric(8),'CliId de CliContacto').
att_prop_i(CliId,nullable,no).
attri_i(CntId,'CliContacto',numeric(8),'CntId de CliContacto').
att_prop_i(CntId,nullable,no).
attri_i(CntNom,'CliContacto',numeric(8),'CntNom de CliContacto').
att_prop_i(CntNom,nullable,no).
tbl_att_prop_i(CliContacto,CliId,autonumber,yes).
tbl_to_delete_i(Cliente,'Borrar si no hay referencias').
rule_i(1,rule([error('Cliente'),if(isnull(CliNom))]),'Dato requerido').
rule_i(0,prop(CliTel,readonly,yes)).
rule_i(0,datastore(Default,Cliente)).
rule_i(2,rule([error('CliContacto'),if(isnull(CntId))]),'Dato requerido').
rule_i(0,prop(CntNom,readonly,yes)).
rule_i(0,datastore(Default,CliContacto)).
subview_i(1,'Principal').
map_i(1,0,0).
std_color_i(1,black).
a_alias_i(CliId,Codigo).
v_i(&Mensaje,char(40),'Mensaje de la pantalla').
b_line_i(1,cmd,'Confirmar').
b_line_i(2,label,'Cancelar').
