attri_i(CliNom,'Cliente')
attri_i('CliNom',x)
att_prop_i(CliNom,nullable,no)
