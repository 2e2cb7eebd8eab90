spec_i([ trn, 'X' ])
spec_i([ proc, 'Cierre' ])
header_i(1,title([]),'Cierre')
title([]),'Solo'
level_i(1,title([]))
v_i(&Fecha,date)
rule_i(0,prop(Fch,readonly,yes)),rule([x])
rule_i(0,datastore(Default,Cierre))
tbl_att_prop_i(Cierre,Id,autonumber,yes)
